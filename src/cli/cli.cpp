#include "cli/cli.h"

#include "cli/command.h"

#include <QDir>
#include <QFile>
#include <array>

namespace zantrel {

namespace {

// Every command of the tool; a new one is one more entry.
const std::array<const Command*, 4> kCommands = {&kUploadCommand, &kLoadCommand, &kConvertCommand,
                                                 &kAutoCommand};

void PrintProgramHelp(std::ostream& out) {
    out << "Usage: zantrel-cli COMMAND [OPTIONS]\n"
           "\n"
           "Uploads, loads and converts chart files of ZL units without a window. Settings\n"
           "files (COMPORT.DAT, DATEFMT.DAT, USERINFO.DAT) are read from the current folder.\n"
           "Status texts and messages go to standard error, one per line.\n"
           "\n"
           "Commands:\n";
    for (const Command* command : kCommands) {
        std::string name = command->name;
        name.resize(10, ' ');
        out << "  " << name << command->summary << "\n";
    }
    out << "\n"
           "Run 'zantrel-cli COMMAND --help' for a command's options.\n"
           "\n"
           "Exit status: 0 success, 1 the job ended otherwise (the last status text says\n"
           "how), 2 a usage error.\n";
}

} // namespace

QByteArray CliContext::absolutePath(const QString& path) const {
    return QFile::encodeName(QDir(QFile::decodeName(folder)).absoluteFilePath(path));
}

int RunCli(const QStringList& arguments, CliContext& context) {
    if (arguments.isEmpty()) {
        PrintProgramHelp(context.err);
        return ExitUsage;
    }
    const QString name = arguments.first();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintProgramHelp(context.out);
        return ExitSuccess;
    }
    for (const Command* command : kCommands)
        if (name == command->name) return command->run(arguments.mid(1), context);
    context.err << "zantrel-cli: unknown command '" << name.toStdString() << "'.\n"
                << "Try 'zantrel-cli --help'.\n";
    return ExitUsage;
}

} // namespace zantrel
