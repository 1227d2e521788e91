#include "alerts/alert_command.h"

#include "alerts/alert.h"
#include "core/clock.h"

#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace zantrel {

namespace {

constexpr int kWaitSliceMs = 100;

// A descriptor that becomes readable when the process ends, so that the wait for it runs
// on the clock's poll; -1 when the system has none.
int ProcessDescriptor(qint64 pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
}

} // namespace

AlertCommand::AlertCommand(const QByteArray& command, Clock& clock)
    : command_(command), clock_(clock) {}

QByteArray AlertCommand::run(const Alert& alert) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTREL_ALERT", QString::fromLatin1(alert.text));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    // Its own process group, so that a command that hangs is killed with all it started.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start("/bin/sh", {"-c", QString::fromLocal8Bit(command_)});
    if (!process.waitForStarted())
        return "could not be started: " + process.errorString().toLocal8Bit();
    process.write(QJsonDocument(alert.toJson()).toJson(QJsonDocument::Compact) + "\n");
    process.waitForBytesWritten();
    process.closeWriteChannel();

    const int descriptor = ProcessDescriptor(process.processId());
    const double deadline = clock_.steadySeconds() + kAlertCommandSeconds;
    bool ended = false;
    while (!ended && clock_.steadySeconds() < deadline) {
        if (descriptor < 0) {
            ended = process.waitForFinished(kWaitSliceMs);
            if (!ended) clock_.sleep(0);
            continue;
        }
        pollfd fd{descriptor, POLLIN, 0};
        ended = clock_.poll(&fd, 1, kWaitSliceMs) > 0;
    }
    if (descriptor >= 0) ::close(descriptor);
    if (!ended) {
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(-1);
        return "killed after " + QByteArray::number(kAlertCommandSeconds) + " s";
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit) return "ended by signal";
    if (process.exitCode() != 0) return "exit status " + QByteArray::number(process.exitCode());
    return {};
}

} // namespace zantrel
