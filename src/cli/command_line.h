#pragma once

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace zantrel {

class Clock;
struct CliContext;

// The arguments of one command: long options with and without a value, positional
// arguments and "--help".
class CommandLine {
  public:
    CommandLine(const char* command, const char* help);
    void addValueOption(const QString& name, const QString& valueName);
    void addFlag(const QString& name);

    // Empty when the command should run; otherwise the status to end with: success after
    // printing the help, a usage error after saying what is wrong.
    std::optional<int> parse(const QStringList& arguments, CliContext& context);
    // Prints a usage error and returns its exit status.
    int usageError(CliContext& context, const QString& message) const;

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    QStringList positional() const { return parser_.positionalArguments(); }
    // The positional arguments as absolute paths.
    QList<QByteArray> positionalPaths(const CliContext& context) const;

  private:
    const char* command_;
    const char* help_;
    QCommandLineParser parser_;
};

// The folder of an absolute path.
QByteArray OutputFolder(const QByteArray& path);

// Why a chart file cannot be written at this absolute path, found before any work is done:
// a .zlx name (kept for the duplicate) or a folder that does not exist. Empty when neither.
// option: the option that named the path, as the text names it.
QString ChartPathProblem(const QByteArray& path, const char* option = "--out");

// "MM/DD/YY HH:MM:SS" as a day count, the year in the hundred years around the current one;
// empty when the text has another form or names no such time.
std::optional<double> ParseRangeTime(const QString& text, const Clock& clock);

} // namespace zantrel
