#include "sim/pty_master.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zantrel::sim {

namespace {

struct SpeedName {
    speed_t code;
    int baud;
};

constexpr SpeedName kSpeeds[] = {
    {B300, 300},       {B600, 600},       {B1200, 1200},     {B2400, 2400},   {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
    {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

QString systemError(const char* what) {
    return QString("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyMaster::~PtyMaster() {
    close();
    releaseSlave();
}

bool PtyMaster::open(QString* error) {
    close();
    releaseSlave();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0) {
        if (error) *error = systemError("pseudo-terminal set-up");
        ::close(fd);
        return false;
    }
    // Terminal settings asked of the master apply to the slave's line.
    termios line{};
    if (tcgetattr(fd, &line) == 0) {
        cfmakeraw(&line);
        line.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&line, B19200);
        cfsetospeed(&line, B19200);
        tcsetattr(fd, TCSANOW, &line);
    }
    heldSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (heldSlave_ < 0) {
        if (error) *error = systemError("opening the slave side");
        ::close(fd);
        return false;
    }
    fd_ = fd;
    slavePath_ = QString::fromLocal8Bit(name);
    return true;
}

void PtyMaster::releaseSlave() {
    if (heldSlave_ >= 0) ::close(heldSlave_);
    heldSlave_ = -1;
}

void PtyMaster::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int PtyMaster::lineBaud() const {
    termios line{};
    if (fd_ < 0 || tcgetattr(fd_, &line) != 0) return 0;
    const speed_t code = cfgetospeed(&line);
    for (const SpeedName& s : kSpeeds)
        if (s.code == code) return s.baud;
    return 0;
}

} // namespace zantrel::sim

namespace zantrel::sim {

bool PtyMaster::slaveHasUnread() const {
    // The count is kept on the slave side: look through the descriptor held there.
    int waiting = 0;
    const bool known = heldSlave_ >= 0 && ioctl(heldSlave_, FIONREAD, &waiting) == 0;
    return !known || waiting > 0;
}

} // namespace zantrel::sim
