#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace zantrel {

namespace {

// Written once the buffer holds this much; the buffer has room for twice as much, so the
// appends in between never reallocate it.
constexpr qsizetype kChunk = 1 << 20;
constexpr int kNameAttempts = 100;

std::atomic<unsigned> nameCounter{0};

// A symbolic link is followed, so that the file it points to is the one replaced.
QByteArray ResolvedTarget(const QByteArray& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::realpath(path.constData(), resolved))
        return QByteArray(resolved);
    return path;
}

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

AtomicFile::AtomicFile(const QByteArray& path) : target_(ResolvedTarget(path)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open() {
    struct stat st {};
    const bool exists = ::stat(target_.constData(), &st) == 0;
    if (target_.isEmpty() || target_.endsWith('/') || (exists && !S_ISREG(st.st_mode)))
        return false;
    const qsizetype slash = target_.lastIndexOf('/');
    const QByteArray folder = target_.left(slash + 1);
    const QByteArray name = target_.mid(slash + 1);
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        temporary_ = folder + '.' + name + ".part-" + QByteArray::number(::getpid()) + '-' +
                     QByteArray::number(nameCounter++);
        // The usual rights for a new file; an existing file keeps its own.
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temporary_.clear();
        return false;
    }
    if (exists) ::fchmod(fd_, st.st_mode & 07777);
    buffer_.reserve(2 * kChunk);
    return true;
}

void AtomicFile::append(const char* data, qsizetype size) {
    buffer_.append(data, size);
    if (buffer_.size() >= kChunk) writeBuffer();
}

void AtomicFile::writeBuffer() {
    if (!failed_ && !buffer_.isEmpty() && !WriteAll(fd_, buffer_.constData(), buffer_.size()))
        failed_ = true;
    buffer_.resize(0);
}

bool AtomicFile::finish() {
    if (fd_ < 0) return finished_;
    writeBuffer();
    if (::close(fd_) != 0) failed_ = true;
    fd_ = -1;
    if (failed_) {
        discard();
        return false;
    }
    finished_ = true;
    return true;
}

bool AtomicFile::replace() {
    if (!finished_ || ::rename(temporary_.constData(), target_.constData()) != 0) return false;
    temporary_.clear();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
    temporary_.clear();
    finished_ = false;
}

} // namespace zantrel
