// The wall clock jumping an hour either way (a clock set, a daylight-saving change) while the
// line is silent and while a download is due: time-outs and the schedule count real time.
// Through the reader thread and a pseudo-terminal, on virtual time.
#include "auto_download_harness.h"
#include "schedule/schedule_menu.h"
#include "shown_time.h"
#include "upload_harness.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr int64_t kHourMs = 3600 * 1000;

// Lets `seconds` of virtual time pass through the reader's own waits.
template <class Harness> bool Pass(Harness& h, double seconds) {
    const double until = h.clock().steadySeconds() + seconds;
    return h.waitFor([&] { return h.clock().steadySeconds() > until; }, 10000);
}

void AddJumps() {
    QTest::addColumn<int64_t>("jumpMs");
    QTest::newRow("set back an hour") << -kHourMs;
    QTest::newRow("put forward an hour") << kHourMs;
}

} // namespace

class ClockJumpTest : public QObject {
    Q_OBJECT
  private slots:
    void aSilentLoggerTimesOutAfterTwentySeconds_data() { AddJumps(); }
    void aSilentLoggerTimesOutAfterTwentySeconds() {
        QFETCH(int64_t, jumpMs);
        sim::LoggerConfig config;
        config.channels[0].readingCount = 20;
        config.faults.silence.step = sim::SilenceStep::HeaderRequest;
        UploadHarness h(config);
        h.start();
        const double start = h.clock().steadySeconds();
        h.upload();
        h.clock().jumpWallMs(jumpMs);
        const QByteArray timedOut = "SERIAL COMMUNICATION TIMED OUT.";
        QVERIFY(h.waitFor([&] {
            return h.state().Edit1.text() == timedOut || h.clock().steadySeconds() > start + 120;
        }));
        QCOMPARE(h.state().Edit1.text(), timedOut);
        const double silent = h.clock().steadySeconds() - start;
        QVERIFY2(silent >= 20 && silent < 30, qPrintable(QString::number(silent)));
    }

    void theScheduleCountsRealTime_data() { AddJumps(); }
    void theScheduleCountsRealTime() {
        QFETCH(int64_t, jumpMs);
        AutoDownloadHarness h(GridLogger(sim::wallTime(2026, 3, 30, 8, 7, 30), 7));
        h.start();
        h.engine().scheduleMenu().ChannelClick(h.state().C2);
        h.arm(h.state().Auto1hour);
        QVERIFY(h.waitForDownloads(1));
        const double due = h.state().AutoClockTime;
        h.clock().jumpWallMs(jumpMs);
        // A minute short of the hour: nothing yet, and the time shown is the hour's end in
        // the wall clock as it now reads.
        h.clock().advanceMs(std::llround((due - h.clock().steadySeconds() - 90) * 1000));
        QVERIFY(Pass(h, 30));
        QCOMPARE(h.downloads().size(), std::size_t(1));
        const std::optional<double> shown = ShownAutoClock(h.state());
        QVERIFY(shown);
        const double expected = h.clock().wallAfter(due - h.clock().steadySeconds());
        QVERIFY2(std::abs(*shown - expected) < 5 / 86400.0, h.state().AutoClock.text());
        // Then the download, on the hour.
        QVERIFY(h.waitForDownloads(1));
        QVERIFY(h.clock().steadySeconds() >= due);
    }
};

QTEST_GUILESS_MAIN(ClockJumpTest)
#include "clock_jump_test.moc"
