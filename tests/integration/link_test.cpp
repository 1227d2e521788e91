// The serial link and its reader against a simulated logger on a real pseudo-terminal.
#include "link/port_text.h"
#include "link/serial_port.h"
#include "upload_harness.h"

#include <QtTest>

using namespace zantrel;

namespace {

sim::LoggerConfig SmallLogger() {
    sim::LoggerConfig config;
    config.channels[0].readingCount = 20;
    config.channels[1].readingCount = 20;
    return config;
}

constexpr double kSecond = 1.0 / 86400;

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
