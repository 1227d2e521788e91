// The simulated logger on a real pseudo-terminal, talked to from the slave side as a program
// would: exact bytes, separate deliveries, reopening, the speed switch and a vanishing logger.

#include "sim/logger_simulator.h"
#include "sim_fixtures.h"

#include <QTest>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace zantrel::sim;

namespace {

// Generous bounds for bytes that are on their way; a passing test never waits them out.
constexpr int kArriveMs = 2000;
// How long a line must stay quiet to count as silent.
constexpr int kQuietMs = 60;

// The program's end of the line, opened raw like a serial port.
class Slave {
  public:
    explicit Slave(const QString& path, speed_t speed = B19200) {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios line{};
        if (fd_ >= 0 && tcgetattr(fd_, &line) == 0) {
            cfmakeraw(&line);
            cfsetispeed(&line, speed);
            cfsetospeed(&line, speed);
            tcsetattr(fd_, TCSANOW, &line);
        }
    }
    ~Slave() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    void send(const QByteArray& bytes) {
        for (char c : bytes)
            QCOMPARE(::write(fd_, &c, 1), ssize_t(1)); // one write per byte
    }

    // One read of whatever has arrived, waiting up to timeoutMs for the first byte.
    QByteArray readOnce(int timeoutMs = kArriveMs) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return {};
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }

    // Reads until `count` bytes have arrived or the line ends or stays quiet too long.
    QByteArray read(qsizetype count, int timeoutMs = kArriveMs) {
        QByteArray got;
        while (got.size() < count) {
            const QByteArray more = readOnce(timeoutMs);
            if (more.isEmpty()) break;
            got += more;
        }
        return got;
    }

    bool staysQuiet() { return readOnce(kQuietMs).isEmpty(); }

  private:
    int fd_ = -1;
};

// Channel 1 of fourThousand with humidity, a gap at reading 1 and an event.
LoggerConfig smallLogger() {
    LoggerConfig config = fourThousand();
    config.channels[0].kind = ChannelKind::TemperatureRh;
    config.channels[0].humidity = {40, 41, 42, 43};
    config.channels[0].gaps = {1};
    config.channels[0].events = {{2, EventCode::RhAlarmStart}};
    return config;
}

} // namespace

class SimPtyTest : public QObject {
    Q_OBJECT

  private slots:
    void answersTheHeaderAlsoAfterTheProgramReopened() {
        LoggerSimulator sim(smallLogger());
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        QVERIFY(sim.devicePath().startsWith("/dev/"));
        {
            Slave slave(sim.devicePath());
            QVERIFY(slave.isOpen());
            slave.send("?");
            QVERIFY(sim.waitForCommands(1, kArriveMs));
        }
        // Closed before reading a byte: the header waits for the next open, and nothing more.
        Slave again(sim.devicePath());
        QCOMPARE(again.read(sim.headerText().size()), sim.headerText());
        QVERIFY(again.staysQuiet());
        QCOMPARE(sim.received(), QByteArray("?"));
        QCOMPARE(sim.commands().at(0).kind, CommandKind::HeaderRequest);
    }

    void version2BlockWithEventGapAndEscape() {
        LoggerSimulator sim(smallLogger());
        QVERIFY(sim.start());
        Slave slave(sim.devicePath());
        slave.send("001010110000000000004");
        // Readings 0..3 of channel 1: 20 C/40, gap, RH alarm start, 20 C/42, 21.4375 C/43 with
        // its backslash doubled; then the checksum and the closing zero record.
        const QByteArray wire = bytes({'+', 0x0F, 0,  40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0,  0x0F, 0,
                                       42,  0x0F, 92, 92, 43,   0xFF, 0,    0,    0,    13, 10});
        QCOMPARE(slave.read(wire.size()), wire);
        QVERIFY(slave.staysQuiet());
        const Command c = sim.commands().at(0);
        QCOMPARE(c.kind, CommandKind::BlockRequest);
        QCOMPARE(c.bytes, QByteArray("001010110000000000004"));
        QCOMPARE(c.lineBaud, 19200);
        QCOMPARE(sim.sent(), wire);
    }

    void speedSwitchIsAcknowledgedAndRecorded() {
        LoggerSimulator sim(smallLogger());
        QVERIFY(sim.start());
        {
            Slave slave(sim.devicePath());
            slave.send("B057600T05");
            QCOMPARE(slave.readOnce(), QByteArray("b"));
        }
        // The program reopens the line at the new speed and asks for a block.
        Slave fast(sim.devicePath(), B57600);
        fast.send("001010110000000000001");
        QCOMPARE(fast.read(10), bytes({'+', 0x0F, 0, 40, 0x37, 0, 0, 0, 13, 10}));
        QCOMPARE(sim.speed(), 57600);
        fast.send("BD00000000");
        QVERIFY(sim.waitForCommands(3, kArriveMs));
        const auto commands = sim.commands();
        QCOMPARE(commands[0].kind, CommandKind::SpeedChange);
        QCOMPARE(commands[0].lineBaud, 19200);
        QCOMPARE(commands[1].lineBaud, 57600);
        QCOMPARE(commands[2].kind, CommandKind::EndFastSession);
        QVERIFY(fast.staysQuiet());
        QCOMPARE(sim.speed(), 19200);
    }

    void splitDeliveryEndsWithTheEscapeBackslash() {
        LoggerConfig config = smallLogger();
        config.faults.splits = {{ReplyKind::Packet, -1, {}, true}};
        config.faults.splitPauseMs = 50;
        LoggerSimulator sim(config);
        QVERIFY(sim.start());
        Slave slave(sim.devicePath());
        slave.send("002010110000000000004");
        // '+', three 0F00 records, 0F, then the escape backslash; its twin comes later.
        const QByteArray first = slave.read(9);
        QCOMPARE(first, bytes({'+', 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 92}));
        const QByteArray rest = slave.readOnce();
        QVERIFY(rest.startsWith('\\'));
    }

    void stopDropsWhatIsStillToBeSent() {
        LoggerConfig config = smallLogger();
        config.paced = true; // 1920 bytes a second: a 1500-reading block takes over a second
        LoggerSimulator sim(config);
        QVERIFY(sim.start());
        Slave slave(sim.devicePath());
        slave.send("002010110000000001500");
        QByteArray got = slave.readOnce();
        QVERIFY(got.startsWith('+'));
        slave.send("S");
        QVERIFY(sim.waitForCommands(2, kArriveMs));
        got += slave.read(1500 * 2, kQuietMs);
        QVERIFY(got.size() < 1500 * 2);
        QCOMPARE(sim.commands().at(1).kind, CommandKind::Stop);
    }

    // The logger vanishes after five bytes. Its device name stays dead while the simulator
    // lives, the program's side closed or not: the next pseudo-terminal gets another number,
    // so a program still trying the old name never reaches a line that is not the logger's.
    void loggerVanishesMidTransfer() {
        LoggerConfig config = smallLogger();
        config.faults.close = {0, 5};
        LoggerSimulator sim(config);
        QVERIFY(sim.start());
        {
            Slave slave(sim.devicePath());
            slave.send("002010110000000000004");
            QCOMPARE(slave.read(5), bytes({'+', 0x0F, 0, 0x0F, 0}));
            QVERIFY(slave.staysQuiet());
        }
        QTRY_VERIFY_WITH_TIMEOUT(sim.vanished(), kArriveMs);
        QVERIFY(!Slave(sim.devicePath()).isOpen());
        LoggerSimulator next(smallLogger());
        QVERIFY(next.start());
        QVERIFY(next.devicePath() != sim.devicePath());
        sim.stop();
        QVERIFY(!sim.isRunning());
    }

    void badConfigurationIsRefused() {
        LoggerConfig config;
        config.version = 3;
        LoggerSimulator sim(config);
        QString error;
        QVERIFY(!sim.start(&error));
        QVERIFY(error.contains("version"));
        QVERIFY(sim.devicePath().isEmpty());
    }
};

QTEST_GUILESS_MAIN(SimPtyTest)
#include "sim_pty_test.moc"
