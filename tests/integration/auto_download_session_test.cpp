// The session side of automatic downloads through the engine, its reader thread and a
// pseudo-terminal against the simulated logger, on virtual time: retried blocks, time-outs at
// the fast rate, a restart over a busy line, a download falling due during an upload by hand,
// and what the tray tip says afterwards.
#include "auto_download_harness.h"
#include "core/date_rendering.h"
#include "core/state.h"
#include "link/port_text.h"
#include "link/serial_link.h"
#include "protocol/upload_session.h"
#include "schedule/auto_download.h"
#include "schedule/schedule_menu.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr const char* kNoNewReadings = "No new readings since the last download.";

std::vector<sim::Command> CommandsOf(const sim::LoggerSimulator& logger, sim::CommandKind kind) {
    std::vector<sim::Command> out;
    for (const sim::Command& c : logger.commands())
        if (c.kind == kind) out.push_back(c);
    return out;
}

QByteArray NextDownloadTip(AutoDownloadHarness& h, const QByteArray& what) {
    return what + " Next Auto Download: " + h.state().AutoClock.text();
}

using Downloads = std::vector<std::pair<int, bool>>;

} // namespace

class AutoDownloadSessionTest : public QObject {
    Q_OBJECT
  private slots:
    // A corrupt block retried and then good: both channels are stored, and the schedule is
    // idle afterwards, so a later upload by hand leaves the monthly files alone.
    void retriedBlockStoresBothChannels() {
        sim::LoggerConfig config = GridLogger(MarchMorning(), 9);
        config.faults.badChecksum = {0, 1};
        AutoDownloadHarness h(config);
        Engine& engine = h.start();
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(2));
        QCOMPARE(h.downloads(), (Downloads{{1, true}, {2, true}}));
        QVERIFY(h.statuses().contains("DATA ERROR - RETRY (1) IN PROCESS..."));
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger(), 1)));
        QVERIFY(SameTimes(h.loadTimes("T2202603site.zlx"), LoggerTimes(h.logger(), 2)));

        const QByteArray chart = h.dir().read("T1202603site.csv");
        engine.session().UploadDataClick();
        QVERIFY(h.waitFor([&] { return h.state().Edit1.text() == "DATA LOADED"; }));
        QVERIFY(!h.state().InitAutoload.checked());
        QCOMPARE(h.dir().read("T1202603site.csv"), chart);
        QCOMPARE(h.downloads().size(), size_t(2));
    }

    // Silence at the fast rate ends the download with "S"; the next one starts at 19200.
    void fastRateTimeOutThenNextDownload() {
        sim::LoggerConfig config = GridLogger(MarchMorning(), 400, 300);
        config.faults.silence = {sim::SilenceStep::PacketBytes, 0, 100, 1};
        AutoDownloadHarness h(config);
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        QCOMPARE(h.statuses().last(), QByteArray("SERIAL COMMUNICATION TIMED OUT."));
        QVERIFY(h.logger().waitForCommands(4, 5000));
        QCOMPARE(h.logger().commands().back().kind, sim::CommandKind::Stop);

        MakeDue(h);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        const auto requests = CommandsOf(h.logger(), sim::CommandKind::HeaderRequest);
        QCOMPARE(requests.size(), size_t(2));
        for (const sim::Command& request : requests)
            QCOMPARE(request.lineBaud, 19200);
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }

    // The program ends mid-block while the logger goes on sending; started again, its first
    // download reads the header, not the rest of that block.
    void restartOverLeftoverReply() {
        sim::LoggerConfig config = GridLogger(MarchMorning(), 600, 30);
        config.paced = true;
        AutoDownloadHarness h(config);
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitFor([&] {
            return !CommandsOf(h.logger(), sim::CommandKind::BlockRequest).empty() &&
                   h.state().Memo5.length() > 20;
        }));
        h.engine().autoDownload().downloadStored = {}; // killed: it reports nothing
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads(), (Downloads{{1, true}}));
        QCOMPARE(h.statuses().last(), QByteArray("File saved."));
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }

    // A download due while an upload by hand waits for its header: the user's range is
    // uploaded, and the download runs afterwards with its own.
    void dueDuringHeaderOfUploadByHand() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 40));
        Engine& engine = StartChannel1(h);
        State& s = h.state();
        const std::vector<double> times = LoggerTimes(h.logger());
        s.upload_range_group.setValue(RangeCustom);
        engine.session().upload_range_groupClick();
        s.Startdate.setValue(std::floor(times[10]));
        s.Starttime.setValue(times[10] - std::floor(times[10]));
        s.Enddate.setValue(std::floor(times[19]));
        s.Endtime.setValue(times[19] - std::floor(times[19]));
        h.arm(s.Auto1hour);
        engine.session().UploadDataClick();
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads(), (Downloads{{1, true}}));
        const QByteArrayList statuses = h.statuses();
        QVERIFY(statuses.indexOf("DATA LOADED") >= 0);
        QVERIFY(statuses.indexOf("DATA LOADED") <
                statuses.indexOf("AUTOLOAD INITIATED... LOADING HEADER DATA..."));
        const auto requests = CommandsOf(h.logger(), sim::CommandKind::BlockRequest);
        QCOMPARE(requests.size(), size_t(2));
        QCOMPARE(requests.front().start, FormatDateTime("mmddyyhhnnss", times[10]));
        QCOMPARE(requests.front().count, 10);
        QCOMPARE(requests.back().start, FormatDateTime("mmddyyhhnnss", times[0]));
        QCOMPARE(requests.back().count, 40);
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), times));
    }

    // A download started while the logger is gone fails at once instead of waiting for a
    // header that no reader would ever take.
    void downloadWithoutLogger() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        h.logger().stop();
        QVERIFY(h.waitFor([&] { return !h.engine().link().isOpen(); }));
        h.state().InitAutoload.tick(); // as the schedule does when a download falls due
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        QVERIFY(h.host().trayTip.startsWith(h.statuses().last()));
    }

    // After a failed or an empty download the tip tells what happened and when the next
    // download is due; after stored rows it names the program and the port again.
    void trayTipAfterEachOutcome() {
        sim::LoggerConfig config = GridLogger(MarchMorning(), 7);
        config.faults.silence = {sim::SilenceStep::HeaderRequest, 0, 0, 1};
        AutoDownloadHarness h(config);
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        QCOMPARE(h.host().trayTip, NextDownloadTip(h, "SERIAL COMMUNICATION TIMED OUT."));

        MakeDue(h);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        QCOMPARE(h.host().trayTip,
                 NextDownloadTip(h, "Zantrel charting application, " +
                                        PortName(h.state().COMPORT.text()) + ". File saved."));

        MakeDue(h);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.statuses().last(), QByteArray(kNoNewReadings));
        QCOMPARE(h.host().trayTip, NextDownloadTip(h, kNoNewReadings));
    }
};

QTEST_GUILESS_MAIN(AutoDownloadSessionTest)
#include "auto_download_session_test.moc"
