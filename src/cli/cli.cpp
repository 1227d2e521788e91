#include "cli/cli.h"

#include "cli/argument_bytes.h"
#include "cli/command.h"
#include "zantrel_version.h"

#include <array>

namespace zantrel {

namespace {

// Every command of the tool; a new one is one more entry.
const std::array<const Command*, 8> kCommands = {
    &kUploadCommand, &kLoadCommand,   &kConvertCommand, &kStatsCommand,
    &kReportCommand, &kExportCommand, &kArchiveCommand, &kAutoCommand};

void PrintProgramHelp(std::ostream& out) {
    out << "Usage: zantrel-cli COMMAND [OPTIONS]\n"
           "\n"
           "Uploads, downloads on a schedule, loads, converts, sums up, reports, exports and\n"
           "archives chart files of ZL units without a window. Settings files (COMPORT.DAT,\n"
           "DATEFMT.DAT, USERINFO.DAT) are read from the current folder.\n"
           "Status texts and messages go to standard error, one per line.\n"
           "\n"
           "Commands:\n";
    for (const Command* command : kCommands) {
        std::string name = command->name;
        name.resize(10, ' ');
        out << "  " << name << command->summary << "\n";
    }
    out << "\n"
           "Options:\n"
           "  -h, --help  show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "Run 'zantrel-cli COMMAND --help' for a command's options.\n"
           "\n"
           "Exit status: 0 success, 1 the job ended otherwise (the last status text says\n"
           "how), 2 a usage error.\n";
}

} // namespace

QByteArray CliContext::absolutePath(const QString& path) const {
    const QByteArray bytes = ArgumentBytes(path);
    if (bytes.startsWith('/')) return bytes;
    return folder.endsWith('/') ? folder + bytes : folder + '/' + bytes;
}

namespace {

// Whatever went to standard output must have arrived: a full disk, /dev/full or a closed
// pipe fails the job, however it went otherwise.
int CheckOutputWritten(int status, CliContext& context) {
    context.out.flush();
    if (context.out.good()) return status;
    context.err << "zantrel-cli: cannot write to standard output; the output is incomplete."
                << std::endl;
    return ExitJobFailed;
}

int RunCommand(const QStringList& arguments, CliContext& context) {
    if (arguments.isEmpty()) {
        PrintProgramHelp(context.err);
        return ExitUsage;
    }
    const QString name = arguments.first();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintProgramHelp(context.out);
        return ExitSuccess;
    }
    if (name == "--version") {
        context.out << "zantrel-cli " ZANTREL_VERSION "\n";
        return ExitSuccess;
    }
    for (const Command* command : kCommands)
        if (name == command->name) return command->run(arguments.mid(1), context);
    context.err << "zantrel-cli: unknown command '" << name.toStdString() << "'.\n"
                << "Try 'zantrel-cli --help'.\n";
    return ExitUsage;
}

} // namespace

int RunCli(const QStringList& arguments, CliContext& context) {
    return CheckOutputWritten(RunCommand(arguments, context), context);
}

} // namespace zantrel
