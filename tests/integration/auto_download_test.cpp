// Automatic downloads into monthly files, through the engine, its reader thread and a
// pseudo-terminal against the simulated logger, on virtual time.
#include "auto_download_harness.h"
#include "core/date_rendering.h"
#include "core/state.h"
#include "file_size_limit.h"
#include "files/scrambling.h"
#include "protocol/upload_session.h"
#include "schedule/schedule_menu.h"

#include <QFileInfo>
#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr double kMinute = 60 / 86400.0;

QByteArrayList Lines(const QByteArray& content) {
    QByteArrayList lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

qsizetype CountStarting(const QByteArrayList& lines, const char* prefix) {
    return std::count_if(lines.begin(), lines.end(),
                         [prefix](const QByteArray& l) { return l.startsWith(prefix); });
}

// The logger records `more` readings beyond what it holds, and the next download falls due.
void Grow(AutoDownloadHarness& h, int readings) {
    h.replaceLogger(GridLogger(MarchMorning(), readings));
    MakeDue(h);
}

} // namespace

class AutoDownloadTest : public QObject {
    Q_OBJECT
  private slots:
    // 4 hours chosen at 10:00: a download at once, the next counted from its start.
    void intervalStartsDownloadAtOnce() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        StartChannel1(h);
        const double ten = sim::dayCount(sim::wallTime(2026, 3, 30, 10, 0, 0));
        h.clock().setNow(ten);
        h.arm(h.state().Auto4hours);
        QVERIFY(h.state().TextForNextAuto.visible());
        QVERIFY(h.state().Auto4hours.checked());
        QVERIFY(!h.state().AutoOff.checked());
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().front(), std::make_pair(1, true));
        const double next = h.state().AutoClockWall;
        QVERIFY(next >= ten + 4 / 24.0 && next < ten + 4 / 24.0 + kMinute);
        QCOMPARE(h.state().AutoClock.text(), FormatDateTime(h.state().DATEFORMAT.text(), next));
        QCOMPARE(h.statuses().mid(1, 2),
                 (QByteArrayList{"AUTOLOAD INITIATED... LOADING HEADER DATA...",
                                 "AUTOLOAD IN PROGRESS..."}));
        QCOMPARE(h.statuses().last(), QByteArray("File saved."));

        // The chart file: its whole header block, then one row per reading.
        const QByteArrayList chart = Lines(h.dir().read("T1202603site.csv"));
        QCOMPARE(chart.size(), 8 + 7);
        QVERIFY(chart[0].startsWith("~Date Format: "));
        QVERIFY(chart[1].startsWith("~File Created On: "));
        QVERIFY(chart[2].startsWith("~User Name: "));
        QVERIFY(chart[5].startsWith("~PC Software Version: "));
        QCOMPARE(chart[6], QByteArray("~"));
        QVERIFY(chart[7].startsWith("~DateTime, Celsius, Kelvin"));
        QVERIFY(chart[8].startsWith("03/30/2026 08:07:30, "));
        // The duplicate: six plain lines and a scrambled line per row.
        const QByteArrayList duplicate = Lines(h.dir().read("T1202603site.zlx"));
        QCOMPARE(duplicate.size(), 6 + 7);
        QCOMPARE(CountStarting(duplicate.mid(0, 6), "~"), 6);
        QCOMPARE(CountStarting(duplicate.mid(6), "?"), 7);
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }

    void bothChannelsUncheckedForceOff() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        Engine& engine = h.start();
        h.arm(h.state().Auto8hrs);
        QVERIFY(h.waitForDownloads(2));
        ScheduleMenu& menu = engine.scheduleMenu();
        menu.ChannelClick(h.state().C1);
        for (Control* interval : menu.intervals())
            QVERIFY(interval->enabled());
        menu.ChannelClick(h.state().C2);
        const State& s = h.state();
        QVERIFY(s.AutoOff.checked());
        QVERIFY(!s.TextForNextAuto.visible());
        QVERIFY(s.Edit2.isEmpty());
        for (Control* interval : menu.intervals()) {
            QVERIFY(!interval->enabled());
            QVERIFY(!interval->checked());
        }
        menu.ChannelClick(h.state().C2);
        for (Control* interval : menu.intervals()) {
            QVERIFY(interval->enabled());
            QVERIFY(!interval->checked());
        }
        QVERIFY(s.AutoOff.checked());
    }

    void onlyChannel2() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        Engine& engine = h.start();
        engine.scheduleMenu().ChannelClick(h.state().C1);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        Grow(h, 9);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads(), (std::vector<std::pair<int, bool>>{{2, true}, {2, true}}));
        for (const QByteArray& command : h.commandBytes())
            QVERIFY(command == "?" || command.startsWith("B") || command.startsWith("002"));
        QVERIFY(!h.dir().exists("T1202603site.csv"));
        QVERIFY(SameTimes(h.loadTimes("T2202603site.zlx"), LoggerTimes(h.logger(), 2)));
    }

    // Three downloads from a logger that keeps recording: rows appended, each reading once.
    void growingLoggerStoresEachReadingOnce() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        for (int readings : {11, 12}) {
            Grow(h, readings);
            QVERIFY(h.waitForDownloads(1));
        }
        QCOMPARE(h.downloads().size(), size_t(3));
        const QByteArrayList chart = Lines(h.dir().read("T1202603site.csv"));
        QCOMPARE(CountStarting(chart, "~Date Format: "), 1);
        QCOMPARE(chart.size(), 8 + 12);
        const QByteArrayList duplicate = Lines(h.dir().read("T1202603site.zlx"));
        QCOMPARE(CountStarting(duplicate, "~"), 6);
        QCOMPARE(duplicate.size(), 6 + 12);
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
        // Each download's first row counts a new sensor.
        QVERIFY(chart[8 + 7].endsWith(", 1, 0, 0, 0, 0, 0, 0"));
    }

    // A logger with nothing new: the download is done without a row, and channel 2 follows.
    void nothingNewStillFollowsWithChannel2() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        h.start();
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(2));
        const QByteArray chart = h.dir().read("T1202603site.csv");
        Grow(h, 7);
        QVERIFY(h.waitForDownloads(2));
        QCOMPARE(h.downloads(),
                 (std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {1, true}, {2, true}}));
        QVERIFY(h.statuses().contains("No new readings since the last download."));
        QCOMPARE(h.dir().read("T1202603site.csv"), chart);
    }

    // 30 March to 2 April: the March files, then new April files.
    void monthChangeStartsNewFiles() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 260));
        StartChannel1(h);
        h.arm(h.state().Auto24hrs);
        QVERIFY(h.waitForDownloads(1));
        const QByteArray april = h.path("T1202604site.csv");
        QCOMPARE(h.state().Caption.text(), h.state().BaseCaption + " | " + april + " | Channel 1");
        QVERIFY(h.statuses().contains("File saved. Starting new file..."));
        QCOMPARE(h.statuses().last(), QByteArray("File saved."));
        const QByteArrayList march = Lines(h.dir().read("T1202603site.csv"));
        QVERIFY(march.last().startsWith("03/31/2026 23:52:30, "));
        const QByteArrayList aprilRows = Lines(h.dir().read("T1202604site.csv"));
        QVERIFY(aprilRows[0].startsWith("~Date Format: "));
        QVERIFY(aprilRows[8].startsWith("04/01/2026 00:07:30, "));
        std::vector<double> all = h.loadTimes("T1202603site.zlx");
        const std::vector<double> second = h.loadTimes("T1202604site.zlx");
        all.insert(all.end(), second.begin(), second.end());
        QVERIFY(SameTimes(all, LoggerTimes(h.logger())));
    }

    // Stored rows end at 10:00:00; the logger samples every 15 minutes from 08:07:30.
    void resumesOnTheLoggersGrid() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 20));
        const QByteArray format = "~Date Format: mm/dd/yyyy hh:mm:ss\r\n";
        QByteArray duplicate = format;
        ScrambleState state;
        QByteArray rows;
        for (const char* row :
             {"03/30/2026 09:45:00, 20.00, 293.15, 68.00, 0, 1, 0, 0, 0, 0, 0, 0",
              "03/30/2026 10:00:00, 20.00, 293.15, 68.00, 0, 0, 0, 0, 0, 0, 0, 0"}) {
            rows += row + QByteArray("\r\n");
            duplicate += "?" + ScrambleLine(state, row) + "\r\n";
        }
        h.dir().put("T1202603site.csv", format + "~\r\n" + rows);
        h.dir().put("T1202603site.zlx", duplicate);
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QByteArrayList requests;
        for (const QByteArray& command : h.commandBytes())
            if (command.startsWith("001")) requests.append(command);
        QVERIFY(!requests.isEmpty());
        QCOMPARE(requests.first().mid(3, 12), QByteArray("033026100730"));
        const QByteArrayList chart = Lines(h.dir().read("T1202603site.csv"));
        QVERIFY(chart[4].startsWith("03/30/2026 10:07:30, "));
    }

    // One due time: channel 1, then channel 2 at the normal speed, each into its own files.
    void bothChannelsChain() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        h.start();
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(2));
        QCOMPARE(h.downloads(), (std::vector<std::pair<int, bool>>{{1, true}, {2, true}}));
        const QByteArrayList commands = h.commandBytes();
        const qsizetype second = commands.lastIndexOf("?");
        QVERIFY(second > 0);
        QCOMPARE(commands[second - 1], QByteArray("BD00000000"));
        QCOMPARE(CountStarting(commands.mid(0, second), "002"), 0);
        QCOMPARE(CountStarting(commands.mid(second), "001"), 0);
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger(), 1)));
        QVERIFY(SameTimes(h.loadTimes("T2202603site.zlx"), LoggerTimes(h.logger(), 2)));
    }

    // A download falling due during an upload by hand runs when that upload has ended; the
    // upload keeps its channel to its last block.
    void dueDuringUploadByHand() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 4000, 15));
        Engine& engine = StartChannel1(h);
        h.state().RadioButton1.setChecked(false);
        h.state().RadioButton2.setChecked(true);
        engine.session().UploadDataClick();
        QVERIFY(h.waitFor([&] { return h.state().Startloadingdata.checked(); }));
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads(), (std::vector<std::pair<int, bool>>{{1, true}}));
        const QByteArrayList commands = h.commandBytes();
        const qsizetype automatic = commands.lastIndexOf("?");
        QCOMPARE(CountStarting(commands.mid(0, automatic), "002"), 3);
        QCOMPARE(CountStarting(commands.mid(0, automatic), "001"), 0);
        QVERIFY(!h.dir().exists("T2202603site.csv"));
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }

    // The logger vanishes during a download: no row is written, the next download has them.
    void vanishedLoggerLosesNothing() {
        sim::LoggerConfig config = GridLogger(MarchMorning(), 7);
        config.faults.close = {0, 10};
        AutoDownloadHarness h(config);
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        QVERIFY(!h.dir().exists("T1202603site.csv"));
        QVERIFY(!h.state().InitAutoload.checked());
        Grow(h, 8);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }

    // A full disk: the download is reported, the files stay as they were, and the next
    // download stores the same readings.
    void fullDiskLeavesFilesAsTheyWere() {
        AutoDownloadHarness h(GridLogger(MarchMorning(), 7));
        StartChannel1(h);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        const QByteArray chart = h.dir().read("T1202603site.csv");
        const QByteArray duplicate = h.dir().read("T1202603site.zlx");
        Grow(h, 10);
        {
            FileSizeLimit disk(chart.size() + 100);
            QVERIFY(h.waitForDownloads(1));
        }
        QCOMPARE(h.downloads().back(), std::make_pair(1, false));
        // The system's reason, with the file it was met at.
        QCOMPARE(h.statuses().last(),
                 "Cannot save file. " + h.path("T1202603site.csv") + ": File too large.");
        QCOMPARE(h.dir().read("T1202603site.csv"), chart);
        QCOMPARE(h.dir().read("T1202603site.zlx"), duplicate);
        Grow(h, 11);
        QVERIFY(h.waitForDownloads(1));
        QCOMPARE(h.downloads().back(), std::make_pair(1, true));
        QVERIFY(SameTimes(h.loadTimes("T1202603site.zlx"), LoggerTimes(h.logger())));
    }
};

QTEST_GUILESS_MAIN(AutoDownloadTest)
#include "auto_download_test.moc"
