// A logger lost during or between automatic downloads and back on the same device name: the
// engine keeps trying the port at a steady pace, says so, and the downloads go on once it is
// back. Through the reader thread and pseudo-terminals, on virtual time.
#include "auto_download_harness.h"
#include "link/serial_link.h"
#include "port_link.h"
#include "schedule/schedule_menu.h"
#include "shown_time.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kMinute = 60 / 86400.0;

// The schedule never shows a time that has passed while nothing runs.
bool ShowsNoPastTime(AutoDownloadHarness& h) {
    const std::optional<double> shown = ShownAutoClock(h.state());
    return shown && *shown >= h.clock().now() - kMinute &&
           h.state().AutoClockTime.load() >= h.clock().steadySeconds() - 60;
}

bool SaysLostAndRetrying(AutoDownloadHarness& h) {
    const QByteArray status = h.state().Edit1.text();
    return status.startsWith("SERIAL PORT LOST.") && status.contains("trying the port again") &&
           h.host().trayTip == status;
}

// Lets `seconds` of virtual time pass through the reader's own waits.
bool Pass(AutoDownloadHarness& h, double seconds) {
    const double until = h.clock().steadySeconds() + seconds;
    return h.waitFor([&] { return h.clock().steadySeconds() > until; }, 10000);
}

// Starts the program through a link to the logger with only channel 1 checked, and arms
// "1 hour".
void ArmThrough(AutoDownloadHarness& h, const PortLink& link) {
    h.start(link.port());
    h.engine().scheduleMenu().ChannelClick(h.state().C2);
    h.arm(h.state().Auto1hour);
}

} // namespace

class AutoDownloadReconnectTest : public QObject {
    Q_OBJECT
  private slots:
    void lostMidDownloadResumesWhenBack() {
        sim::LoggerConfig vanishing = GridLogger(MarchMorning(), 40);
        vanishing.faults.close = {0, 10};
        AutoDownloadHarness h(vanishing);
        PortLink link(h.dir().file("logger"), h.logger().devicePath());
        ArmThrough(h, link);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        QVERIFY(h.state().Edit1.text().startsWith("SERIAL PORT LOST. UPLOAD CANCELLED."));
        QVERIFY(SaysLostAndRetrying(h));

        // A minute away: tried again every few seconds, no more often.
        const int opensBefore = h.engine().link().opensAttempted();
        QVERIFY(Pass(h, 60));
        const int tries = h.engine().link().opensAttempted() - opensBefore;
        QVERIFY2(tries >= 6 && tries <= 30, qPrintable(QString::number(tries)));
        QVERIFY(!h.engine().link().isOpen());
        QVERIFY(SaysLostAndRetrying(h));
        QVERIFY(ShowsNoPastTime(h));
        QCOMPARE(h.downloads().size(), std::size_t(1));

        sim::LoggerSimulator back(GridLogger(MarchMorning(), 40));
        QVERIFY(back.start());
        link.point(back.devicePath());
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        QCOMPARE(h.loadTimes("T1202603site.zlx").size(), std::size_t(40));
        QVERIFY(!h.statuses().contains("UPLOAD ABORTED BY USER"));
        back.stop();
    }

    // Lost while idle: no upload is said to be cancelled or aborted, the due time passes
    // without a download, and the download runs once the logger is back.
    void lostBetweenDownloadsRunsTheDueDownloadWhenBack() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        PortLink link(h.dir().file("logger"), h.logger().devicePath());
        ArmThrough(h, link);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        h.logger().stop();
        QVERIFY(h.waitFor([&] { return h.state().Edit1.text().startsWith("SERIAL PORT LOST."); },
                          10000));
        QVERIFY(SaysLostAndRetrying(h));
        QVERIFY(!h.state().Edit1.text().contains("CANCELLED"));

        h.clock().advanceMs(3600 * 1000);
        QVERIFY(Pass(h, 30));
        QCOMPARE(h.downloads().size(), std::size_t(1));
        QVERIFY(ShowsNoPastTime(h));
        QVERIFY(SaysLostAndRetrying(h));
        for (const QByteArray& status : h.statuses())
            QVERIFY2(!status.contains("ABORTED") && !status.contains("TIMED OUT"), status);

        sim::LoggerSimulator back(GridLogger(MarchMorning(), 9));
        QVERIFY(back.start());
        link.point(back.devicePath());
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        QCOMPARE(h.loadTimes("T1202603site.zlx").size(), std::size_t(9));
        QVERIFY(ShowsNoPastTime(h));
        back.stop();
    }
};

QTEST_GUILESS_MAIN(AutoDownloadReconnectTest)
#include "auto_download_reconnect_test.moc"
