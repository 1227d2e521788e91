#pragma once

#include <QByteArray>
#include <QStringList>
#include <atomic>
#include <ostream>

namespace zantrel {

class Clock;

// Ctrl+C and SIGTERM while an upload runs: the upload is aborted rather than the program
// ended, so a logger switched to the fast rate is told to go back. At any other time the
// signal ends the program as usual.
struct InterruptRequest {
    std::atomic<bool> watched{false};
    std::atomic<bool> raised{false};
};

// What a command runs with: the clock the engine uses, the folder holding the settings
// files (and against which relative paths are taken), the two output streams and the
// interrupt request of SIGINT and SIGTERM.
struct CliContext {
    Clock& clock;
    QByteArray folder;
    std::ostream& out;
    std::ostream& err;
    InterruptRequest* interrupt = nullptr;

    // A path as given, taken against the folder when relative.
    QByteArray absolutePath(const QString& path) const;
};

// Exit statuses of the tool.
enum ExitStatus { ExitSuccess = 0, ExitJobFailed = 1, ExitUsage = 2 };

// Runs the tool: arguments are those after the program's name.
int RunCli(const QStringList& arguments, CliContext& context);

} // namespace zantrel
