#include "cli/command_line.h"

#include "cli/cli.h"
#include "files/encrypted_duplicate.h"

#include <sys/stat.h>

namespace zantrel {

CommandLine::CommandLine(const char* command, const char* help) : command_(command), help_(help) {
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addFlag("help");
}

void CommandLine::addValueOption(const QString& name, const QString& valueName) {
    parser_.addOption(QCommandLineOption(name, {}, valueName));
}

void CommandLine::addFlag(const QString& name) {
    parser_.addOption(QCommandLineOption(name));
}

std::optional<int> CommandLine::parse(const QStringList& arguments, CliContext& context) {
    // The parser takes the first entry as the program's name.
    if (!parser_.parse(QStringList{command_} + arguments))
        return usageError(context, parser_.errorText());
    if (parser_.isSet("help")) {
        context.out << help_;
        return ExitSuccess;
    }
    return std::nullopt;
}

int CommandLine::usageError(CliContext& context, const QString& message) const {
    context.err << "zantrel-cli " << command_ << ": " << message.toStdString() << "\n"
                << "Try 'zantrel-cli " << command_ << " --help'.\n";
    return ExitUsage;
}

QByteArray OutputFolder(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QString ChartPathProblem(const QByteArray& path) {
    if (EncryptedDuplicate::HasDuplicateExtension(path))
        return "--out must not end in .zlx: that name is kept for the encrypted duplicate.";
    struct stat folder {};
    if (::stat(OutputFolder(path).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return "--out names a folder that does not exist.";
    return {};
}

} // namespace zantrel
