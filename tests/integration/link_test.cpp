// The serial link and its reader against a simulated logger on a real pseudo-terminal.
#include "app_engine.h"
#include "core/state.h"
#include "event_wait.h"
#include "link/port_text.h"
#include "link/serial_link.h"
#include "link/serial_port.h"
#include "protocol/upload_session.h"
#include "upload_harness.h"

#include <QtTest>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace zantrel;

namespace {

sim::LoggerConfig SmallLogger() {
    sim::LoggerConfig config;
    config.channels[0].readingCount = 20;
    config.channels[1].readingCount = 20;
    return config;
}

constexpr double kSecond = 1.0 / 86400;

// A pseudo-terminal whose far end the test writes itself: a device that is no logger.
class TalkingLine {
  public:
    TalkingLine() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            device_ = ::ptsname(master_);
    }
    ~TalkingLine() {
        stop();
        if (master_ >= 0) ::close(master_);
    }
    const QByteArray& device() const { return device_; }

    // Sends text again and again, as fast as the line takes it, until stop().
    void talk(const QByteArray& text) {
        talker_ = std::thread([this, text] {
            qsizetype at = 0;
            char drain[256];
            while (!stop_) {
                while (::read(master_, drain, sizeof drain) > 0) {
                }
                const ssize_t n = ::write(master_, text.constData() + at, size_t(text.size() - at));
                if (n > 0) at = (at + n) % text.size();
                if (n <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    void stop() {
        stop_ = true;
        if (talker_.joinable()) talker_.join();
    }

  private:
    int master_ = -1;
    QByteArray device_;
    std::thread talker_;
    std::atomic<bool> stop_{false};
};

} // namespace

class LinkTest : public QObject {
    Q_OBJECT
  private slots:
    void opensReopensAndCloses() {
        UploadHarness h(SmallLogger());
        Engine& e = h.start();
        QVERIFY(e.link().isOpen());
        QVERIFY(h.host().messages.isEmpty());
        QVERIFY(e.state().UploadData.enabled());
        QCOMPARE(e.state().COMM.text(), "Serial Port (" + h.port() + ")");

        // "NA" closes the open port and opens nothing.
        e.state().COMPORT.setText("NA");
        QVERIFY(!e.link().isOpen());
        QCOMPARE(e.state().COMM.text(), QByteArray("Serial Port (NA)"));

        e.state().COMPORT.setText(h.port());
        QVERIFY(e.link().isOpen());
        QCOMPARE(e.link().baudRate(), 19200);

        // Bytes outside any phase land in the idle log.
        e.link().SendByte('?');
        QVERIFY(h.waitFor([&] { return e.state().Memo3.length() > 20; }));
        QVERIFY(e.state().Memo2.isEmpty());
    }

    void aBusyPortFailsWithTheReason() {
        UploadHarness h(SmallLogger());
        QVERIFY(h.logger().start());
        SerialPort holder;
        QVERIFY(holder.open(h.port(), 19200, nullptr));
        Engine& e = h.start();
        QVERIFY(!e.link().isOpen());
        QVERIFY(!e.state().UploadData.enabled());
        QCOMPARE(h.host().messages.size(), 1);
        QCOMPARE(h.host().messages[0].text,
                 "Cannot open serial port: " + h.port() +
                     ".\nIt may be in use or does not exist.\nA different port may be selected\n"
                     "from the Setup menu.\nThe port is busy: it is in use by another program.");

        // Once the other holder lets go, the next change of port text opens it.
        holder.close();
        e.link().COMPORTChange();
        QVERIFY(e.link().isOpen());
        QVERIFY(e.state().UploadData.enabled());
    }

    // The session reopens the port at its start, for the fast rate and back: another program
    // trying the port during any of those pauses is refused as busy.
    void theSessionKeepsThePortItsOwnAcrossItsReopens() {
        UploadHarness h(SmallLogger());
        Engine& e = h.start();
        int taken = 0;
        QList<int> refusals;
        h.clock().onSleep = [&](int) {
            SerialPort other;
            int err = 0;
            if (other.open(h.port(), 19200, &err))
                ++taken;
            else
                refusals << err;
        };
        h.upload();
        const bool loaded = h.waitForStatus("DATA LOADED");
        h.clock().onSleep = nullptr;
        QVERIFY(loaded);
        QCOMPARE(taken, 0);
        QVERIFY(refusals.size() >= 6); // two pauses for each of the three reopens
        QVERIFY(
            std::all_of(refusals.begin(), refusals.end(), [](int err) { return err == EBUSY; }));
        QVERIFY(h.logger().waitForCommands(4, 5000));
        QCOMPARE(h.commandBytes().last(), QByteArray("BD00000000"));
        QVERIFY(e.link().isOpen());

        // Another device is a close and an open: the first one is free again.
        sim::LoggerSimulator second(SmallLogger());
        QVERIFY(second.start());
        e.state().COMPORT.setText(second.devicePath().toLocal8Bit());
        QVERIFY(e.link().isOpen());
        SerialPort other;
        QVERIFY(other.open(h.port(), 19200, nullptr));
        other.close();
        e.state().COMPORT.setText("NA");
        second.stop();
    }

    // A fast-rate speed the line cannot run is refused as soon as the port text says it, before
    // anything is sent: the logger would switch to it and never hear from the program again.
    void aSpeedTheLineCannotRunIsRefused_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<bool>("opens");
        QTest::newRow("12345") << QByteArray(":12345") << false;
        QTest::newRow("beyond an int") << QByteArray(":99999999999") << false;
        QTest::newRow("0") << QByteArray(":0") << false;
        QTest::newRow("38400") << QByteArray(":38400") << true;
        QTest::newRow("115200") << QByteArray(":115200") << true;
        QTest::newRow("no speed") << QByteArray() << true;
    }
    void aSpeedTheLineCannotRunIsRefused() {
        QFETCH(QByteArray, tail);
        QFETCH(bool, opens);
        UploadHarness h(SmallLogger());
        Engine& e = h.start(tail);
        QCOMPARE(e.link().isOpen(), opens);
        QCOMPARE(e.state().UploadData.enabled(), opens);
        QCOMPARE(h.host().messages.size(), opens ? 0 : 1);
        if (!opens) {
            QCOMPARE(h.host().messages[0].title, QByteArray("Problem"));
            QVERIFY(h.host().messages[0].text.startsWith("Cannot use the port setting " + h.port() +
                                                         tail + "."));
            QVERIFY(h.host().messages[0].text.contains("19200"));
        }
        QCOMPARE(e.state().COMM.text(), "Serial Port (" + h.port() + ")");
        QVERIFY(h.logger().received().isEmpty());

        // Choosing the port again keeps only a speed the line can run.
        e.link().SavePort(h.port());
        QVERIFY(e.link().isOpen());
        QCOMPARE(e.state().COMPORT.text(), opens ? h.port() + tail : h.port());
        QCOMPARE(h.host().messages.size(), opens ? 0 : 1);
        QCOMPARE(h.dir().read("COMPORT.DAT"), e.state().COMPORT.text());
    }

    // A device that keeps sending and never completes a header: every byte restarts the
    // watchdog, so only the header's own limits can end the upload.
    void aLineThatNeverStopsTalkingEndsTheUpload_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("text without line ends") << QByteArray("?0Model ZL-T100 Serial 0047 ");
        QTest::newRow("lines that never end a header") << QByteArray("001\r\nModel ZL-T100\r\n");
        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("noise") << noise;
    }
    void aLineThatNeverStopsTalkingEndsTheUpload() {
        QFETCH(QByteArray, text);
        TalkingLine line;
        QVERIFY(!line.device().isEmpty());
        AppEngine<> app;
        Engine& e = app.start(line.device());
        QVERIFY(e.link().isOpen());
        line.talk(text);
        e.session().UploadDataClick();
        State& s = e.state();
        const bool ended = WaitForEvents(
            [&] { return s.UploadData.enabled() && !s.AbortUpload.enabled(); }, 20000);
        line.stop();
        QVERIFY(ended);
        QVERIFY(s.Errorindata.checked());
        QVERIFY(s.Memo2.length() <= 16384);
        QVERIFY2(s.Edit1.text().startsWith("ERROR IN HEADER DATA.  UPLOAD CANCELLED.") ||
                     s.Edit1.text().startsWith("DATA NOT VALID"),
                 s.Edit1.text());
        e.state().COMPORT.setText("NA");
    }

    void aMissingDeviceIsReportedAndDisablesUpload() {
        UploadHarness h(SmallLogger());
        Engine& e = h.start();
        e.state().COMPORT.setText("/dev/zantrel-no-such-port");
        QVERIFY(!e.link().isOpen());
        QVERIFY(!e.state().UploadData.enabled());
        QCOMPARE(h.host().messages.size(), 1);
        QCOMPARE(h.host().messages[0].title, QByteArray("Problem"));
        QVERIFY(h.host().messages[0].text.startsWith(
            "Cannot open serial port: /dev/zantrel-no-such-port.\nIt may be in use or does not "
            "exist.\nA different port may be selected\nfrom the Setup menu.\n"));
    }

    void silenceDuringAnUploadTimesOut() {
        sim::LoggerConfig config = SmallLogger();
        config.faults.silence.step = sim::SilenceStep::HeaderRequest;
        UploadHarness h(config);
        h.start();
        h.upload();
        QVERIFY(h.statuses().contains("REQUESTING HEADER INFO...PLEASE WAIT..."));
        const double lastSign = h.state().Watchdog.value();
        QVERIFY(h.waitForStatus("SERIAL COMMUNICATION TIMED OUT."));
        QVERIFY(h.idle());
        QVERIFY(h.clock().now() - lastSign > 20 * kSecond);
        // Nothing was sent but the header request: "S" only ends a fast session.
        QCOMPARE(h.logger().received(), QByteArray("?"));
    }

    void silenceOutsideAPhaseIsNoError() {
        UploadHarness h(SmallLogger());
        Engine& e = h.start();
        const double start = h.clock().now();
        QVERIFY(h.waitFor([&] { return h.clock().now() > start + 45 * kSecond; }));
        QVERIFY(e.state().Edit1.isEmpty());
        QVERIFY(e.state().UploadData.enabled());
    }

    void aVanishedLoggerStopsTheReaderAndANewOneCanBeUsed() {
        UploadHarness h(SmallLogger());
        Engine& e = h.start();
        h.logger().stop();
        QVERIFY(h.waitFor([&] { return !e.link().isOpen(); }));
        QVERIFY(e.state().Edit1.text().startsWith("SERIAL PORT LOST."));
        QVERIFY(e.state().UploadData.enabled());

        sim::LoggerSimulator replacement(SmallLogger());
        QVERIFY(replacement.start());
        // The new device may reuse the old name: "Upload Data" or a new port text reopens it.
        e.state().COMPORT.setText(replacement.devicePath().toLocal8Bit());
        e.link().COMPORTChange();
        QVERIFY(e.link().isOpen());
        e.link().SendByte('?');
        QVERIFY(replacement.waitForCommands(1, 5000));
        QVERIFY(h.waitFor([&] { return e.state().Memo3.length() > 20; }));
        e.state().COMPORT.setText("NA");
        replacement.stop();
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "link_test.moc"
