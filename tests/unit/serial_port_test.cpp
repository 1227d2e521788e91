#include "link/port_text.h"
#include "link/serial_port.h"
#include "test_clock.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace zantrel;

namespace {

constexpr int kEventWaitMs = 2000; // bound for waiting on the kernel, never reached normally
constexpr int kSpinLimit = 1000;

// A pseudo-terminal standing in for the logger's end of the cable.
class Pty {
  public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            slave_ = ::ptsname(master_);
    }
    ~Pty() { closeMaster(); }
    bool valid() const { return master_ >= 0 && !slave_.isEmpty(); }
    const QByteArray& slave() const { return slave_; }
    int master() const { return master_; }
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    bool send(const QByteArray& bytes) {
        return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
    }
    // What the program wrote, waiting until n bytes are there.
    QByteArray receive(int n) {
        QByteArray got;
        for (int waited = 0; got.size() < n && waited < kEventWaitMs; ++waited) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 1) <= 0) continue;
            char buf[64];
            const ssize_t k = ::read(master_, buf, sizeof buf);
            if (k <= 0) break;
            got.append(buf, k);
        }
        return got;
    }

  private:
    int master_ = -1;
    QByteArray slave_;
};

// Waits until n bytes wait on the descriptor, so a read does not race the kernel's hand-over
// of what the master wrote.
bool waitForInput(int fd, int n) {
    for (int waited = 0; waited < kEventWaitMs; ++waited) {
        int available = 0;
        if (::ioctl(fd, FIONREAD, &available) == 0 && available >= n) return true;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 1);
    }
    return false;
}

// Test clock that counts the waits it is asked for and can be set back once, after the first.
// A read that spins on instant wake-ups ends the test run instead of hanging it.
class CountingClock final : public Clock {
  public:
    double now() const override { return inner.now(); }
    double steadySeconds() const override { return inner.steadySeconds(); }
    double wallAfter(double seconds) const override { return inner.wallAfter(seconds); }
    void sleep(int ms) override { inner.sleep(ms); }
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        if (++polls > kSpinLimit) qFatal("read keeps polling a port that returns at once");
        waitedMs += timeoutMs;
        const int r = inner.poll(fds, count, timeoutMs);
        if (polls == 1) inner.advanceMs(-setBackMs);
        return r;
    }
    qint64 elapsedMs() const { return qRound64((now() - start_) * 86400000.0); }

    TestClock inner;
    int polls = 0;
    qint64 waitedMs = 0;
    int setBackMs = 0;

  private:
    const double start_ = inner.now();
};

} // namespace

class SerialPortTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Pty> pty_;
    SerialPort port_;
    std::unique_ptr<CountingClock> clock_;
    char buf_[64] = {};

    bool openPort(int baud = 19200) { return port_.open(pty_->slave(), baud, nullptr); }
    ReadResult readPort(int maxBytes, int wakeFd = -1) {
        return port_.read(buf_, maxBytes, 1000, wakeFd, *clock_);
    }
    QByteArray got(const ReadResult& r) const { return QByteArray(buf_, r.count); }

  private slots:
    void init() {
        port_.close();
        clock_ = std::make_unique<CountingClock>();
        pty_ = std::make_unique<Pty>();
        QVERIFY(pty_->valid());
    }

    void setsRawLineAtSpeed_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("speed");
        QTest::newRow("19200") << 19200 << int(B19200);
        QTest::newRow("57600") << 57600 << int(B57600);
    }
    void setsRawLineAtSpeed() {
        QFETCH(int, baud);
        QFETCH(int, speed);
        int err = -1;
        QVERIFY(port_.open(pty_->slave(), baud, &err));
        QCOMPARE(err, 0);
        termios t{};
        QCOMPARE(::tcgetattr(pty_->master(), &t), 0);
        QCOMPARE(int(::cfgetospeed(&t)), speed);
        QCOMPARE(int(::cfgetispeed(&t)), speed);
        QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        QCOMPARE(t.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF | ICRNL), tcflag_t(0));
    }

    void reportsOpenFailures() {
        int err = 0;
        QVERIFY(!port_.open(pty_->slave(), 12345, &err));
        QCOMPARE(err, EINVAL);
        QVERIFY(!port_.open("/dev/zantrel-no-such-port", 19200, &err));
        QCOMPARE(err, ENOENT);
        QVERIFY(OpenFailureMessage("/dev/zantrel-no-such-port", err)
                    .endsWith(".\nThe device does not exist or is not connected."));
        QVERIFY(!port_.open("/dev/null", 19200, &err));
        QCOMPARE(err, ENOTTY);
        QVERIFY(!port_.isOpen());
        QVERIFY(openPort()); // a failed open leaves nothing held
    }

    void secondOpenIsBusyUntilClosed() {
        SerialPort second;
        int err = 0;
        QVERIFY(openPort());
        QVERIFY(!second.open(pty_->slave(), 19200, &err));
        QCOMPARE(err, EBUSY);

        port_.close();
        QVERIFY(second.open(pty_->slave(), 19200, &err));
        // Reopening through the same object releases its own hold first.
        QVERIFY(second.open(pty_->slave(), 57600, &err));
    }

    void passesControlBytesUnchanged() {
        QVERIFY(openPort());
        const QByteArray bytes("\x0d\x0a\x03\x11\x13\x1a\x5c\x7f\x00\xff", 10);
        QVERIFY(pty_->send(bytes));
        QVERIFY(waitForInput(port_.fd(), bytes.size()));
        const ReadResult r = readPort(bytes.size());
        QCOMPARE(r.status, ReadResult::Ok);
        QCOMPARE(got(r), bytes);

        for (char c : bytes)
            QVERIFY(port_.writeByte(static_cast<unsigned char>(c)));
        QCOMPARE(pty_->receive(bytes.size()), bytes);
    }

    void readReturnsWhenRequestedBytesArrived() {
        QVERIFY(openPort());
        QVERIFY(pty_->send("ABCDE"));
        QVERIFY(waitForInput(port_.fd(), 5));
        ReadResult r = readPort(3);
        QCOMPARE(r.status, ReadResult::Ok);
        QCOMPARE(got(r), QByteArray("ABC"));
        QCOMPARE(clock_->elapsedMs(), 0);

        r = readPort(50);
        QCOMPARE(r.status, ReadResult::TimedOut);
        QCOMPARE(got(r), QByteArray("DE"));
        QCOMPARE(clock_->elapsedMs(), 1000);
    }

    // Once bytes have arrived, a read asked to watch for a quiet line ends after the gap
    // rather than after the time-out; with nothing arrived it still waits the time-out.
    void quietLineEndsReadAfterBytes() {
        QVERIFY(openPort());
        QVERIFY(pty_->send("ABCDE"));
        QVERIFY(waitForInput(port_.fd(), 5));
        ReadResult r = port_.read(buf_, 3, 1000, -1, *clock_, 20);
        QCOMPARE(r.status, ReadResult::Ok);
        QCOMPARE(got(r), QByteArray("ABC"));
        QCOMPARE(clock_->elapsedMs(), 0);

        r = port_.read(buf_, 50, 1000, -1, *clock_, 20);
        QCOMPARE(r.status, ReadResult::Quiet);
        QCOMPARE(got(r), QByteArray("DE"));
        QCOMPARE(clock_->elapsedMs(), 20);

        r = port_.read(buf_, 50, 1000, -1, *clock_, 20);
        QCOMPARE(r.status, ReadResult::TimedOut);
        QCOMPARE(r.count, 0);
        QCOMPARE(clock_->elapsedMs(), 1020);
    }

    void clockSetBackDoesNotStretchRead() {
        QVERIFY(openPort());
        clock_->setBackMs = 3600 * 1000;
        QCOMPARE(readPort(1).status, ReadResult::TimedOut);
        QVERIFY2(clock_->waitedMs <= 2000, QByteArray::number(clock_->waitedMs).constData());
    }

    void wakeEndsReadWithoutTouchingPort() {
        QVERIFY(openPort());
        const int wake = ::eventfd(1, EFD_CLOEXEC | EFD_NONBLOCK);
        QVERIFY(wake >= 0);
        QVERIFY(pty_->send("AB"));
        QVERIFY(waitForInput(port_.fd(), 2));
        ReadResult r = readPort(2, wake);
        QCOMPARE(r.status, ReadResult::Woken);
        QCOMPARE(r.count, 0);
        QCOMPARE(clock_->elapsedMs(), 0);

        uint64_t value = 0;
        QCOMPARE(::read(wake, &value, sizeof value), ssize_t(sizeof value));
        r = readPort(2, wake);
        QCOMPARE(r.status, ReadResult::Ok);
        QCOMPARE(got(r), QByteArray("AB"));
        ::close(wake);
    }

    void closedMasterIsDeviceLostAtOnce() {
        QVERIFY(openPort());
        pty_->closeMaster();
        for (int pass = 0; pass < 2; ++pass) {
            const ReadResult r = readPort(50);
            QCOMPARE(r.status, ReadResult::DeviceLost);
            QCOMPARE(r.count, 0);
        }
        QCOMPARE(clock_->polls, 2);
        QCOMPARE(clock_->elapsedMs(), 0);
        QVERIFY(!port_.writeByte('S'));
    }

    void readErrorIsDeviceLostAtOnce() {
        // A pseudo-terminal master whose slave has come and gone reads EIO, like a pulled adapter.
        QVERIFY(port_.open("/dev/ptmx", 19200, nullptr));
        QVERIFY(::grantpt(port_.fd()) == 0 && ::unlockpt(port_.fd()) == 0);
        const int slave = ::open(::ptsname(port_.fd()), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(slave >= 0);
        ::close(slave);
        const ReadResult r = readPort(50);
        QCOMPARE(r.status, ReadResult::DeviceLost);
        QCOMPARE(r.err, EIO);
        QCOMPARE(clock_->polls, 1);
    }

    void closeKeepsLastByteAndLaterInput() {
        // The last command before a close must reach the other end, every time.
        for (int i = 0; i < 20; ++i) {
            QVERIFY(openPort());
            QVERIFY(port_.writeByte('S'));
            port_.close();
            QCOMPARE(pty_->receive(1), QByteArray("S"));
        }
        // What arrives while the port is closed waits, unaltered and not echoed, for the next open.
        const QByteArray bytes("1\r2\0033\n");
        QVERIFY(pty_->send(bytes));
        QVERIFY(openPort(57600));
        QVERIFY(waitForInput(port_.fd(), bytes.size()));
        QCOMPARE(got(readPort(bytes.size())), bytes);
        char echo;
        QCOMPARE(::read(pty_->master(), &echo, 1), ssize_t(-1));
    }

    void closedPortIsInert() {
        QVERIFY(openPort());
        const int fd = port_.fd();
        port_.close();
        QCOMPARE(::fcntl(fd, F_GETFD), -1);
        port_.close();
        QVERIFY(!port_.isOpen());
        QCOMPARE(port_.fd(), -1);
        QVERIFY(!port_.writeByte('S'));
        QCOMPARE(readPort(1).status, ReadResult::DeviceLost);
        QCOMPARE(clock_->polls, 0);
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "serial_port_test.moc"
