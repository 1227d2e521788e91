#include "link/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <iterator>
#include <optional>

namespace zantrel {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr int kWriteWaitMs = 100;
// A line quiet this long holds nothing more of an earlier reply.
constexpr int kDrainQuietMs = 100;
// A line that never goes quiet is left to the session to report: after this long, or after
// more than the longest reply of a logger (a block of 1500 readings) has been dropped.
constexpr int kDrainMaxMs = 10000;
constexpr int kDrainMaxBytes = 65536;

struct Speed {
    int baud;
    speed_t code;
};
constexpr Speed kSpeeds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},
                             {9600, B9600},     {19200, B19200},   {38400, B38400},
                             {57600, B57600},   {115200, B115200}, {230400, B230400},
                             {460800, B460800}, {921600, B921600}};

std::optional<speed_t> speedFor(int baud) {
    for (const Speed& s : kSpeeds)
        if (s.baud == baud) return s.code;
    return std::nullopt;
}

// Raw 8N1 at speed without flow control, a read returning each byte as it arrives.
bool setLine(int fd, speed_t speed) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return false;
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    return ::cfsetispeed(&line, speed) == 0 && ::cfsetospeed(&line, speed) == 0 &&
           ::tcsetattr(fd, TCSANOW, &line) == 0;
}

// Closes a descriptor that failed to become the port and reports why.
bool failOpen(int fd, bool exclusive, int code, int* err) {
    if (fd >= 0) {
        if (exclusive) ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }
    if (err) *err = code;
    return false;
}

ReadResult deviceLost(int count, int err) {
    return {count, ReadResult::DeviceLost, err};
}

} // namespace

bool LineSpeedSupported(int baud) {
    return speedFor(baud).has_value();
}

QByteArray LineSpeedsText() {
    QByteArray text;
    for (const Speed& s : kSpeeds) {
        if (!text.isEmpty()) text += &s == std::end(kSpeeds) - 1 ? " or " : ", ";
        text += QByteArray::number(s.baud);
    }
    return text;
}

bool SerialPort::open(const QByteArray& device, int baud, int* err) {
    close();
    const auto speed = speedFor(baud);
    if (!speed) return failOpen(-1, false, EINVAL, err);
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failOpen(-1, false, errno, err);
    if (!::isatty(fd)) return failOpen(fd, false, ENOTTY, err);
    // TIOCEXCL alone does not stop root from opening the port a second time; the lock does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return failOpen(fd, false, errno == EWOULDBLOCK ? EBUSY : errno, err);
    if (::ioctl(fd, TIOCEXCL) != 0) return failOpen(fd, false, errno, err);

    if (!setLine(fd, *speed)) return failOpen(fd, true, errno, err);

    fd_ = fd;
    if (err) *err = 0;
    return true;
}

void SerialPort::close() {
    if (fd_ < 0) return;
    // Only input is purged: flushing output would drop a command byte written just before.
    ::tcflush(fd_, TCIFLUSH);
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool SerialPort::reopen(int baud) {
    if (fd_ < 0) return false;
    // Only input is purged, as on close.
    ::tcflush(fd_, TCIFLUSH);
    const auto speed = speedFor(baud);
    return speed && setLine(fd_, *speed);
}

void SerialPort::drain(Clock& clock) {
    const double giveUp = clock.steadySeconds() + kDrainMaxMs / 1000.0;
    char dropped[256];
    for (int total = 0; total < kDrainMaxBytes && clock.steadySeconds() < giveUp;) {
        const ReadResult r = read(dropped, sizeof dropped, kDrainQuietMs, -1, clock);
        if (r.count == 0 || r.status == ReadResult::DeviceLost) return;
        total += r.count;
    }
}

bool SerialPort::writeByte(unsigned char byte) {
    if (fd_ < 0) return false;
    const auto writeOnce = [&] {
        ssize_t n;
        do {
            n = ::write(fd_, &byte, 1);
        } while (n < 0 && errno == EINTR);
        return n;
    };
    ssize_t written = writeOnce();
    if (written < 0 && errno == EAGAIN) {
        pollfd out{fd_, POLLOUT, 0};
        int ready;
        do {
            ready = ::poll(&out, 1, kWriteWaitMs);
        } while (ready < 0 && errno == EINTR);
        if (ready > 0 && (out.revents & POLLOUT)) written = writeOnce();
    }
    return written == 1;
}

ReadResult SerialPort::read(char* buf, int maxBytes, int timeoutMs, int wakeFd, Clock& clock,
                            int quietMs) {
    ReadResult result;
    if (fd_ < 0) return deviceLost(0, EBADF);
    double last = clock.now();
    double deadline = last + timeoutMs / kMsPerDay;
    while (result.count < maxBytes) {
        const double now = clock.now();
        // A clock set back (local time leaving daylight saving) must not stretch the wait.
        if (now < last) deadline -= last - now;
        last = now;
        const int remaining =
            static_cast<int>(std::max(0LL, std::llround((deadline - now) * kMsPerDay)));

        const bool watchQuiet = quietMs > 0 && result.count > 0;
        const int wait = watchQuiet ? std::min(remaining, quietMs) : remaining;

        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int ready = clock.poll(fds, 2, wait);
        if (ready < 0) return deviceLost(result.count, errno);
        if (fds[1].revents != 0) {
            result.status = ReadResult::Woken;
            return result;
        }
        const short events = fds[0].revents;
        if (events & POLLNVAL) return deviceLost(result.count, EBADF);
        if (events != 0) {
            ssize_t n;
            do {
                n = ::read(fd_, buf + result.count, static_cast<size_t>(maxBytes - result.count));
            } while (n < 0 && errno == EINTR);
            if (n > 0) {
                result.count += static_cast<int>(n);
                continue;
            }
            // A tty reads 0 bytes only once it is hung up; any error but "no data yet" means
            // the device is unusable, and polling it again would return at once forever.
            if (n == 0) return deviceLost(result.count, 0);
            if (errno != EAGAIN) return deviceLost(result.count, errno);
            if (events & (POLLHUP | POLLERR)) return deviceLost(result.count, 0);
        } else if (remaining == 0) {
            result.status = ReadResult::TimedOut;
            return result;
        } else if (watchQuiet && wait == quietMs) {
            result.status = ReadResult::Quiet;
            return result;
        }
    }
    return result;
}

} // namespace zantrel
