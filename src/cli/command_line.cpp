#include "cli/command_line.h"

#include "cli/cli.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "files/encrypted_duplicate.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

QList<QByteArray> CommandLine::positionalPaths(const CliContext& context) const {
    QList<QByteArray> paths;
    for (const QString& argument : positional())
        paths.append(context.absolutePath(argument));
    return paths;
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

QString ChartPathProblem(const QByteArray& path, const char* option) {
    const QString name = QString::fromLatin1(option);
    if (EncryptedDuplicate::hasDuplicateExtension(path))
        return name + " must not end in .zlx: that name is kept for the encrypted duplicate.";
    struct stat folder {};
    if (::stat(OutputFolder(path).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return name + " names a folder that does not exist.";
    return {};
}

std::optional<double> ParseRangeTime(const QString& text, const Clock& clock) {
    static const QRegularExpression pattern(R"(^(\d\d)/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d)$)");
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const auto today = DecodeDateTime(clock.now());
    const int year = TwoDigitYear(m.captured(3).toInt(), today ? today->year : 2000);
    return EncodeDateTime(year, m.captured(1).toInt(), m.captured(2).toInt(), m.captured(4).toInt(),
                          m.captured(5).toInt(), m.captured(6).toInt());
}

} // namespace zantrel
