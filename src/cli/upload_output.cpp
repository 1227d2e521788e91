#include "cli/upload_output.h"

#include "cli/command_line.h"
#include "core/calendar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zantrel {

namespace {

// Enough to fail on a disk that is full, as the chart file itself would.
constexpr qsizetype kProbeBytes = 4096;

bool Exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

QString Reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

QString OutputFolderProblem(const QByteArray& path) {
    const QByteArray probe =
        OutputFolder(path) + "/.zantrel-probe-" + QByteArray::number(::getpid());
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return Reason(errno);
    const QByteArray block(kProbeBytes, '\0');
    qsizetype written = 0;
    int err = 0;
    while (written < block.size()) {
        const ssize_t n =
            ::write(fd, block.constData() + written, static_cast<size_t>(block.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        written += n;
    }
    if (::close(fd) != 0 && err == 0) err = errno;
    ::unlink(probe.constData());
    return err == 0 ? QString() : Reason(err);
}

QByteArray FallbackChartPath(const QByteArray& folder, double now) {
    const auto t = DecodeDateTime(now);
    QByteArray stamp = "zantrel-upload";
    if (t)
        stamp += '-' + QByteArray::number(t->year * 10000 + t->month * 100 + t->day) + '-' +
                 QByteArray::number(t->hour * 10000 + t->minute * 100 + t->second)
                     .rightJustified(6, '0');
    const QByteArray base = (folder.endsWith('/') ? folder : folder + '/') + stamp;
    for (int n = 1;; ++n) {
        const QByteArray name = n == 1 ? base : base + '-' + QByteArray::number(n);
        if (!Exists(name + ".csv") && !Exists(name + ".zlx")) return name + ".csv";
    }
}

QByteArray TemporaryFolder() {
    const QByteArray tmp = qgetenv("TMPDIR");
    return tmp.startsWith('/') ? tmp : QByteArray("/tmp");
}

} // namespace zantrel
