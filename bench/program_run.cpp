#include "program_run.h"

#include "bench_measure.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zantrel::bench {

namespace {

// Counts creations and writes of monthly files in a folder, as the kernel reports them.
class FolderWatch {
  public:
    explicit FolderWatch(const QString& folder) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ >= 0)
            inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_CREATE | IN_MODIFY);
    }
    ~FolderWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    int descriptor() const { return fd_; }
    // Reads what is pending; the names of the monthly files changed, one per event.
    QStringList changedFiles() {
        QStringList names;
        alignas(inotify_event) char buffer[8192];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                const QString name = event->len ? QFile::decodeName(event->name) : QString();
                if (IsMonthlyFileName(name)) names.append(name);
                p += sizeof(inotify_event) + event->len;
            }
        return names;
    }

  private:
    int fd_ = -1;
};

} // namespace

QByteArray RunOutcome::lastErrLine() const {
    const QByteArrayList lines = err.trimmed().split('\n');
    return lines.isEmpty() ? QByteArray() : lines.last().trimmed();
}

bool IsMonthlyFileName(const QString& name) {
    static const QRegularExpression monthly("^T[12][0-9]{6}.*(\\.csv|\\.zlx|_[0-9]+\\.zxl)$");
    return monthly.match(name).hasMatch();
}

RunOutcome RunProgram(const QString& program, const QStringList& arguments, const QString& folder,
                      const RunLimits& limits) {
    RunOutcome outcome;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    if (limits.fileSizeLimit >= 0) {
        const rlim_t bytes = rlim_t(limits.fileSizeLimit);
        // In the child before exec: a write beyond the limit fails instead of killing it.
        process.setChildProcessModifier([bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }

    QEventLoop loop;
    const auto killAs = [&](RunEnd end) {
        if (process.state() == QProcess::NotRunning || outcome.end != RunEnd::NotStarted) return;
        outcome.end = end;
        process.kill();
    };
    QTimer killTimer, hangTimer;
    killTimer.setSingleShot(true);
    killTimer.setTimerType(Qt::PreciseTimer);
    hangTimer.setSingleShot(true);
    QObject::connect(&killTimer, &QTimer::timeout, [&] { killAs(RunEnd::Killed); });
    QObject::connect(&hangTimer, &QTimer::timeout, [&] { killAs(RunEnd::Hung); });
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] {
        outcome.err += process.readAllStandardError();
        hangTimer.start(limits.hangGuardMs);
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });

    FolderWatch watch(folder);
    int changes = 0;
    QSocketNotifier notifier(watch.descriptor(), QSocketNotifier::Read);
    notifier.setEnabled(limits.killOnFileChange > 0 && watch.descriptor() >= 0);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        for (const QString& name : watch.changedFiles())
            if (++changes == limits.killOnFileChange) {
                outcome.changedFile = name;
                killAs(RunEnd::KilledOnFileChange);
            }
    });

    const Steady::time_point start = Steady::now();
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        outcome.err = process.errorString().toLocal8Bit();
        return outcome;
    }
    if (limits.killAfterMs >= 0) killTimer.start(limits.killAfterMs);
    hangTimer.start(limits.hangGuardMs);
    if (process.state() != QProcess::NotRunning) loop.exec();
    outcome.ms = MsSince(start);
    outcome.err += process.readAllStandardError();
    if (outcome.end == RunEnd::NotStarted) {
        const bool exited = process.exitStatus() == QProcess::NormalExit;
        outcome.end = exited ? RunEnd::Exited : RunEnd::Crashed;
        outcome.exitCode = exited ? process.exitCode() : -1;
    }
    return outcome;
}

} // namespace zantrel::bench
