// The alert rules over successive downloads: an excursion followed across downloads, alarm
// starts, failed downloads in a row, overdue downloads on the test clock, and a restart that
// reads ALERTS.DAT and the record of downloads back.
#include "alerts/alert_log.h"
#include "alerts/alert_rules.h"
#include "alerts/download_record.h"
#include "chart/readings_store.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QtTest>
#include <memory>

using namespace zantrel;

namespace {

constexpr double kStart = 40179.0; // 1 January 2010
constexpr double kQuarterHour = 1.0 / 96;
const AlertSource kSource{"10001", "Cold room", 1};

// Readings every quarter hour from quarter hour `first` on.
ReadingsStore Download(int first, const QList<float>& celsius) {
    ReadingsStore store;
    for (int i = 0; i < celsius.size(); ++i) {
        store.ReadingTimes.push_back(kStart + (first + i) * kQuarterHour);
        store.Temperatures.push_back(celsius[i]);
    }
    return store;
}

QStringList Kinds(const std::vector<Alert>& alerts) {
    QStringList kinds;
    for (const Alert& a : alerts)
        kinds << QString::fromLatin1(a.kind);
    return kinds;
}

// A program's alerts on one folder: restart() is the program started again.
class Session {
  public:
    explicit Session(AlertLimits limits = {2.0, 8.0, 30}, double intervalSeconds = 3600)
        : limits_(limits), interval_(intervalSeconds) {
        restart();
    }
    void restart() {
        rules_.reset();
        log_ = std::make_unique<AlertLog>(dir_.path() + "/" + kAlertsFile);
        record_ = std::make_unique<DownloadRecord>(dir_.path() + "/" + kDownloadRecordFile);
        rules_ = std::make_unique<AlertRules>(*log_, *record_, clock_, limits_, interval_);
    }
    std::vector<Alert> stored(const ReadingsStore& readings) {
        return rules_->downloadStored(kSource, readings);
    }
    std::vector<Alert> failed() { return rules_->downloadFailed(kSource, "TIME-OUT."); }
    AlertRules& rules() { return *rules_; }
    AlertLog& log() { return *log_; }
    TestClock& clock() { return clock_; }
    WorkDir& dir() { return dir_; }
    QByteArrayList lines() const { return dir_.read(kAlertsFile).trimmed().split('\n'); }

  private:
    WorkDir dir_;
    TestClock clock_;
    AlertLimits limits_;
    double interval_;
    std::unique_ptr<AlertLog> log_;
    std::unique_ptr<DownloadRecord> record_;
    std::unique_ptr<AlertRules> rules_;
};

} // namespace

class AlertRulesTest : public QObject {
    Q_OBJECT
  private slots:
    // Still outside when the first download ends: one alert then, and at the second download
    // only its end, with the figures of the whole excursion.
    void excursionAcrossTwoDownloads() {
        Session s;
        const std::vector<Alert> first = s.stored(Download(0, {5, 5, 9, 9.5f, 9}));
        QCOMPARE(Kinds(first), QStringList{"excursion"});
        QVERIFY(!first[0].end);
        QCOMPARE(first[0].start, kStart + 2 * kQuarterHour);
        QVERIFY(first[0].text.contains("above 8 C since 2010-01-01 00:30:00"));

        const std::vector<Alert> second = s.stored(Download(5, {10.5f, 9, 6, 5}));
        QCOMPARE(Kinds(second), QStringList{"back inside"});
        QCOMPARE(second[0].end.value(), kStart + 7 * kQuarterHour);
        QCOMPARE(second[0].peak.value(), 10.5);
        QCOMPARE(second[0].hours, 1.25);
        QVERIFY(second[0].text.contains("back inside since 2010-01-01 01:45:00"));
        QVERIFY(s.stored(Download(9, {5, 5})).empty());
        QCOMPARE(s.lines().size(), 2);
    }

    // Shorter than the delay at the end of the first download, long enough with the second:
    // one alert from the run's first reading, ended within the second download.
    void delayReachedInTheNextDownload() {
        Session s;
        QVERIFY(s.stored(Download(0, {5, 5, 1})).empty());
        const std::vector<Alert> alerts = s.stored(Download(3, {0.5f, 5}));
        QCOMPARE(Kinds(alerts), QStringList{"excursion"});
        QCOMPARE(alerts[0].start, kStart + 2 * kQuarterHour);
        QCOMPARE(alerts[0].end.value(), kStart + 4 * kQuarterHour);
        QCOMPARE(alerts[0].peak.value(), 0.5);
        QVERIFY(alerts[0].text.contains("below 2 C from"));
        // A run shorter than the delay raises nothing; one on the other side is its own.
        QVERIFY(s.stored(Download(5, {9, 5})).empty());
    }

    // A hole between the downloads ends the excursion: the next run is a new one.
    void holeEndsTheExcursion() {
        Session s;
        QCOMPARE(Kinds(s.stored(Download(0, {9, 9, 9}))), QStringList{"excursion"});
        QCOMPARE(Kinds(s.stored(Download(20, {9, 9, 9}))),
                 (QStringList{"back inside", "excursion"}));
    }

    // The JSON gives the hours outside to the hundredth, as the text does.
    void hoursAsTheTextGivesThem() {
        Session s({2.0, 8.0, 0});
        ReadingsStore readings;
        for (int i = 0; i < 4; ++i) {
            readings.ReadingTimes.push_back(kStart + i / 144.0); // every 10 minutes
            readings.Temperatures.push_back(i == 1 || i == 2 ? 9.0f : 5.0f);
        }
        const std::vector<Alert> alerts = s.stored(readings);
        QCOMPARE(alerts.size(), std::size_t(1));
        QVERIFY(alerts[0].text.endsWith(", 0.33 h outside."));
        QCOMPARE(alerts[0].toJson()["hours"].toDouble(), 0.33);
    }

    // The logger's alarm starts, each once however often a download brings it.
    void alarmStarts() {
        Session s;
        ReadingsStore readings = Download(0, {5, 5, 5});
        readings.TempAlarmStartEvents().push_back(kStart + kQuarterHour);
        readings.RhAlarmStartEvents().push_back(kStart + 2 * kQuarterHour);
        readings.TempAlarmEndEvents().push_back(kStart + 2 * kQuarterHour);
        const std::vector<Alert> alerts = s.stored(readings);
        QCOMPARE(Kinds(alerts), (QStringList{"temperature alarm", "humidity alarm"}));
        QCOMPARE(alerts[0].start, kStart + kQuarterHour);
        QVERIFY(alerts[1].text.startsWith("Humidity alarm on channel 1 of logger 10001"));
        QVERIFY(s.stored(readings).empty());
    }

    // Two failed downloads in a row raise one alert; one failure between stored downloads
    // raises none.
    void failedDownloadsInARow() {
        Session s;
        QVERIFY(s.failed().empty());
        QVERIFY(s.stored(Download(0, {5})).empty());
        QVERIFY(s.failed().empty());
        const std::vector<Alert> alerts = s.failed();
        QCOMPARE(Kinds(alerts), QStringList{"download failed"});
        QVERIFY(alerts[0].text.endsWith("failed twice in a row: TIME-OUT."));
        QVERIFY(s.failed().empty());
    }

    // Overdue once more than two intervals passed without a stored download, once.
    void overdueAfterTwoIntervals() {
        Session s;
        s.clock().advanceMs(2 * 3600 * 1000);
        QVERIFY(s.rules().checkOverdue(kSource).empty());
        s.clock().advanceMs(1000);
        const std::vector<Alert> alerts = s.rules().checkOverdue(kSource);
        QCOMPARE(Kinds(alerts), QStringList{"overdue"});
        QVERIFY(alerts[0].text.contains("since 2010-01-01 12:00:00"));
        QVERIFY(s.rules().checkOverdue(kSource).empty());
        // A stored download starts the count again.
        s.stored(Download(0, {5}));
        s.clock().advanceMs(3600 * 1000);
        QVERIFY(s.rules().checkOverdue(kSource).empty());
    }

    // The failures in a row and the last success outlive a restart; the record stays one
    // line however many downloads it saw.
    void downloadRecordAcrossRestarts() {
        Session s;
        QVERIFY(s.failed().empty());
        s.restart();
        QCOMPARE(Kinds(s.failed()), QStringList{"download failed"});

        // A success after the restart starts the count again.
        s.failed();
        s.restart();
        s.stored(Download(0, {5}));
        s.clock().advanceMs(3600 * 1000);
        QVERIFY(s.failed().empty());
        s.restart();
        QCOMPARE(Kinds(s.failed()), QStringList{"download failed"});
        QCOMPARE(s.dir().read(kDownloadRecordFile).count('\n'), 1);

        // The last success three intervals back: overdue at once after a restart.
        Session later;
        later.stored(Download(0, {5}));
        later.clock().advanceMs(3 * 3600 * 1000);
        later.restart();
        const std::vector<Alert> overdue = later.rules().checkOverdue(kSource);
        QCOMPARE(Kinds(overdue), QStringList{"overdue"});
        QVERIFY(overdue[0].text.contains("since 2010-01-01 12:00:00"));
        QCOMPARE(overdue[0].hours, 3.0);
    }

    // Started again: nothing raised before comes again, the excursion still going is ended
    // once, and acknowledgements are read back.
    void restartNeitherRepeatsNorForgets() {
        Session s;
        ReadingsStore readings = Download(0, {5, 9, 9, 9});
        readings.TempAlarmStartEvents().push_back(kStart);
        QCOMPARE(s.stored(readings).size(), std::size_t(2));
        const QByteArray alarm = s.log().alerts()[1].alert.id;
        QVERIFY(s.log().acknowledge(alarm, {"ann", kStart + 1, "door left open"}));

        s.restart();
        QCOMPARE(s.log().alerts().size(), std::size_t(2));
        QVERIFY(!s.log().alerts()[0].acknowledged);
        const auto& acknowledged = s.log().find(alarm)->acknowledged;
        QCOMPARE(acknowledged->by, QByteArray("ann"));
        QCOMPARE(acknowledged->comment, QByteArray("door left open"));
        // The excursion goes on in the next download: not a new alert, only its end.
        const std::vector<Alert> next = s.stored(Download(4, {9, 9, 5}));
        QCOMPARE(Kinds(next), QStringList{"back inside"});
        QCOMPARE(next[0].hours, 1.25);
        QCOMPARE(s.lines().size(), 4);
    }

    // A line that does not read is skipped, and the alerts around it are kept.
    void unreadableLineSkipped() {
        Session s;
        s.stored(Download(0, {9, 9, 5}));
        QFile file(s.log().path());
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"kind\": \r\n");
        file.close();
        s.stored(Download(3, {9, 9, 5}));
        s.restart();
        QCOMPARE(s.log().alerts().size(), std::size_t(2));
        QCOMPARE(s.log().unreadableLines(), 1);
    }
};

QTEST_GUILESS_MAIN(AlertRulesTest)
#include "alert_rules_test.moc"
