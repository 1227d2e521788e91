#include "files/monthly_files_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace zantrel {

namespace {

std::mutex registryMutex;
std::map<QByteArray, std::weak_ptr<MonthlyFilesLock>> registry;

// ".site.lock" beside "site.csv": one lock for every name the monthly files take from it.
QByteArray LockPath(const QByteArray& base) {
    const qsizetype slash = base.lastIndexOf('/');
    QByteArray name = base.mid(slash + 1);
    if (const qsizetype dot = name.lastIndexOf('.'); dot > 0) name.truncate(dot);
    return base.left(slash + 1) + '.' + name + ".lock";
}

// "process 1234 (zantrel-cli)" from the pid the lock file names.
QByteArray Holder(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    const QByteArray pid = QByteArray(text, n > 0 ? n : 0).trimmed();
    if (pid.isEmpty()) return "another process";
    QByteArray holder = "process " + pid;
    char name[64] = {};
    const int comm = ::open(("/proc/" + pid + "/comm").constData(), O_RDONLY | O_CLOEXEC);
    if (comm >= 0) {
        const ssize_t m = ::read(comm, name, sizeof name - 1);
        ::close(comm);
        if (m > 0) holder += " (" + QByteArray(name, m).trimmed() + ")";
    }
    return holder;
}

} // namespace

std::shared_ptr<MonthlyFilesLock> MonthlyFilesLock::acquire(const QByteArray& base,
                                                            QByteArray& why) {
    const std::lock_guard guard(registryMutex);
    const QByteArray path = LockPath(base);
    if (std::shared_ptr<MonthlyFilesLock> held = registry[path].lock()) return held;
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        why = "Cannot lock the monthly files of " + base + ": " + std::strerror(errno) + ".";
        return nullptr;
    }
    // A lock of the open file itself, not of the process: it is not lost when the process
    // closes another descriptor of the file, and conflicts with every other holder.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
        const int err = errno;
        why = err == EAGAIN || err == EACCES
                  ? "The monthly files of " + base + " are in use by " + Holder(fd) + "."
                  : "Cannot lock the monthly files of " + base + ": " + std::strerror(err) + ".";
        ::close(fd);
        return nullptr;
    }
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    // Held all the same when this fails; only the holder's name is then missing for others.
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, pid.constData(), pid.size(), 0);
    std::shared_ptr<MonthlyFilesLock> lock(new MonthlyFilesLock(base, fd));
    registry[path] = lock;
    return lock;
}

MonthlyFilesLock::~MonthlyFilesLock() {
    ::close(fd_);
}

} // namespace zantrel
