// The reader loop against a scripted line: how deliveries are framed and handed over, the
// retry after a corrupt packet, the silence watchdog and a stop while a hand-off waits.
#include "core/handoff_queue.h"
#include "core/state.h"
#include "event_wait.h"
#include "fake_host.h"
#include "link/reader_thread.h"
#include "link/serial_link.h"
#include "protocol/logger_reader_loop.h"
#include "schedule/download_schedule_ticker.h"
#include "scripted_byte_source.h"
#include "test_clock.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr const char* kTimedOut = "SERIAL COMMUNICATION TIMED OUT.";

// One reader loop over a scripted line, with no session behind it: the test plays the parts
// of the main thread it needs.
struct ReaderRig {
    State state;
    TestClock clock;
    HandoffQueue handoffs;
    SerialLink link{state, clock, handoffs};
    FakeHost host;
    ScriptedByteSource line;
    int blocksRepeated = 0;
    std::unique_ptr<TRead> reader;

    // An upload of a version-`version` logger under way, waiting for a data packet.
    void uploading(int version) {
        state.LoggerVersion = version;
        state.Startloadingdata.tick();
        state.UploadData.setEnabled(false);
        state.AbortUpload.setEnabled(true);
        state.Watchdog.stamp(clock);
    }
    void start() {
        reader = std::make_unique<TRead>(line, 19200, clock, handoffs,
                                         std::make_unique<LoggerReaderLoop>(
                                             state, clock, link, host,
                                             std::make_unique<DownloadScheduleTicker>(state, clock),
                                             [this] { ++blocksRepeated; }));
        reader->start();
    }
    // Until the reader waits for more of the script, having handed over all before it.
    bool settled() {
        return WaitForEvents([this] { return line.waiting(); }, 5000);
    }
};

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

} // namespace

class LoggerReaderLoopTest : public QObject {
    Q_OBJECT
  private slots:
    void framing_data();
    void framing();
    void retryAfterCorruptPacket();
    void watchdogAfterTwentySecondsOfSilence();
    void stopCancelsPendingHandoff();
};

void LoggerReaderLoopTest::framing_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QList<QByteArray>>("deliveries");
    QTest::addColumn<QByteArray>("memo5");

    // A version-2 escape byte makes the next byte plain, even when a read ends between them.
    QTest::newRow("escape split across reads")
        << 2 << QList<QByteArray>{Bytes({0x01, '\\'}), Bytes({'\\', 0x02, '\\', 'A'})}
        << QByteArray("015C0241");
    // A version-1 packet: its first 20 bytes as hexadecimal, the rest as they came, however
    // the line splits it.
    QByteArray packet;
    for (char c = 'A'; c <= 'X'; ++c)
        packet += c;
    const QByteArray shown = packet.first(20).toHex().toUpper() + packet.sliced(20);
    QTest::newRow("packet in one read") << 1 << QList<QByteArray>{packet} << shown;
    QList<QByteArray> singles;
    for (char c : packet)
        singles.append(QByteArray(1, c));
    QTest::newRow("packet one byte per read") << 1 << singles << shown;
}

void LoggerReaderLoopTest::framing() {
    QFETCH(int, version);
    QFETCH(QList<QByteArray>, deliveries);
    QFETCH(QByteArray, memo5);
    ReaderRig rig;
    rig.uploading(version);
    for (const QByteArray& d : deliveries)
        rig.line.deliver(d);
    rig.start();
    QVERIFY(rig.settled());
    QCOMPARE(rig.state.Memo5.text(), memo5);
}

void LoggerReaderLoopTest::retryAfterCorruptPacket() {
    ReaderRig rig;
    rig.uploading(2);
    const QByteArray bad = Bytes({0x10, 0x20, 0x30});
    // The session's part: the corrupt packet fails its checksum.
    rig.state.Memo5.onChange = [&rig] {
        if (rig.state.Memo5.text() == "102030") rig.state.Errorindata.tick();
    };
    rig.line.deliver(bad);
    rig.line.deliver("rest of it"); // dropped during the pause before the retry
    rig.line.deliver(Bytes({0x11, 0x22}));
    rig.start();
    QVERIFY(rig.settled());
    QCOMPARE(rig.blocksRepeated, 1);
    QCOMPARE(rig.state.Edit1.text(), QByteArray("DATA ERROR - RETRY (1) IN PROCESS..."));
    QVERIFY(!rig.state.Errorindata.checked());
    QCOMPARE(rig.state.Memo5.text(), QByteArray("1122"));
}

void LoggerReaderLoopTest::watchdogAfterTwentySecondsOfSilence() {
    ReaderRig rig;
    rig.uploading(2);
    rig.line.silence(19000);
    rig.start();
    QVERIFY(rig.settled());
    QVERIFY(rig.state.Edit1.text() != kTimedOut);
    QVERIFY(rig.state.AbortUpload.enabled());

    rig.line.silence(2000);
    QVERIFY(WaitForEvents([&rig] { return rig.state.Edit1.text() == kTimedOut; }, 5000));
    QVERIFY(rig.state.UploadData.enabled());
    QVERIFY(!rig.state.AbortUpload.enabled());
}

void LoggerReaderLoopTest::stopCancelsPendingHandoff() {
    ReaderRig rig;
    rig.uploading(2);
    rig.start();
    QVERIFY(rig.settled());
    {
        // Hand-offs are held meanwhile, as while a dialog is open.
        ModalScope modal(rig.handoffs);
        rig.line.deliver("A");
        QVERIFY(WaitForEvents([&rig] { return !rig.line.waiting(); }, 5000));
        rig.reader->requestStop();
    }
    QCoreApplication::processEvents();
    rig.reader.reset(); // joins the thread
    QCOMPARE(rig.state.Memo5.text(), QByteArray());
    QCOMPARE(rig.line.reads(), 1);
}

QTEST_GUILESS_MAIN(LoggerReaderLoopTest)
#include "logger_reader_loop_test.moc"
