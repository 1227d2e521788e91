// zantrel-cli stats on a saved chart across midnight: its excursions with and without a delay,
// its days and the logger's events, as JSON and as tables under the figures, and --delay's
// usage errors.
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "cli_result.h"
#include "core/state.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

using namespace zantrel;

namespace {

// Reading i of readings every 15 seconds from 28 February 2010 23:59:30.
double Reading(int i) {
    return At(2010, 2, 28, 23, 59, 30) + i * 15 * kOneSecond;
}

// 5, 9, 10 at midnight, 9, gap, 5, 1, 5; temperature alarms starting at 23:59:45 and 00:01:00,
// and the first one's end at 00:00:45. The file marks its first reading as a new sensor.
void SaveChart(ChartFileHarness& h) {
    const QList<float> celsius = {5, 9, 10, 9, NoReading, 5, 1, 5};
    for (int i = 0; i < celsius.size(); ++i) {
        h.store().ReadingTimes.push_back(Reading(i));
        h.store().Temperatures.push_back(celsius[i]);
    }
    h.store().TempAlarmStartEvents() = {Reading(1), Reading(6)};
    h.store().TempAlarmEndEvents() = {Reading(5)};
    h.s().RHZL.set(false);
    QCOMPARE(h.save("run.csv").isEmpty(), false);
    QCOMPARE(h.s().Edit1.text(), kSaved);
}

const QJsonObject kAbove{{"side", "above"},
                         {"start", "2010-02-28T23:59:45"},
                         {"end", "2010-03-01T00:00:30"},
                         {"hours", 45 / 3600.0},
                         {"peak", 10},
                         {"peak_time", "2010-03-01T00:00:00"},
                         {"readings", 3},
                         {"ended_by_gap", true}};
const QJsonObject kBelow{{"side", "below"},
                         {"start", "2010-03-01T00:01:00"},
                         {"end", "2010-03-01T00:01:15"},
                         {"hours", 15 / 3600.0},
                         {"peak", 1},
                         {"peak_time", "2010-03-01T00:01:00"},
                         {"readings", 1},
                         {"ended_by_gap", false}};

} // namespace

class CliStatsExcursionsTest : public QObject {
    Q_OBJECT

  private slots:
    void excursionsAgainstTheDelay_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QJsonArray>("expected");
        QTest::newRow("no delay") << QStringList{} << QJsonArray{kAbove, kBelow};
        QTest::newRow("the above run's length")
            << QStringList{"--delay", "0.75"} << QJsonArray{kAbove};
        QTest::newRow("longer") << QStringList{"--delay", "1"} << QJsonArray{};
    }
    void excursionsAgainstTheDelay() {
        QFETCH(QStringList, options);
        ChartFileHarness h;
        SaveChart(h);
        const CliResult run =
            RunCliIn(h.dir, QStringList{"stats", "run.zlx", "--json", "--low", "2", "--high", "8"} +
                                options);
        QCOMPARE(run.status, ExitSuccess);
        QTEST(run.json()["excursions"].toArray(), "expected");
    }

    // Each day counts its own readings; the run across midnight is one excursion.
    void daysAndEvents() {
        ChartFileHarness h;
        SaveChart(h);
        const CliResult run =
            RunCliIn(h.dir, {"stats", "run.zlx", "--json", "--low", "2", "--high", "8"});
        QCOMPARE(run.status, ExitSuccess);
        const QJsonObject json = run.json();
        QCOMPARE(json["excursions"].toArray().size(), 2);
        const QJsonArray days = json["days"].toArray();
        QCOMPARE(days.size(), 2);
        QCOMPARE(days[0]["date"], QJsonValue("2010-02-28"));
        QCOMPARE(days[0]["hours_outside"], QJsonValue(15 / 3600.0));
        QCOMPARE(days[1].toObject(), (QJsonObject{{"date", "2010-03-01"},
                                                  {"min", 1},
                                                  {"min_time", "2010-03-01T00:01:00"},
                                                  {"max", 10},
                                                  {"max_time", "2010-03-01T00:00:00"},
                                                  {"mean", 6},
                                                  {"readings", 5},
                                                  {"gaps", 1},
                                                  {"hours_outside", 45 / 3600.0}}));
        const auto event = [](const char* time, const char* kind) {
            return QJsonObject{{"time", time}, {"kind", kind}};
        };
        QCOMPARE(json["events"].toArray(),
                 (QJsonArray{event("2010-02-28T23:59:30", "new_sensor"),
                             event("2010-02-28T23:59:45", "temp_alarm_start"),
                             event("2010-03-01T00:00:45", "temp_alarm_end"),
                             event("2010-03-01T00:01:00", "temp_alarm_start")}));
        // Without a limit: no excursions, the days and the events all the same.
        const QJsonObject open = RunCliIn(h.dir, {"stats", "run.zlx", "--json"}).json();
        QVERIFY(!open.contains("excursions"));
        QCOMPARE(open["days"].toArray().size(), 2);
        QCOMPARE(open["days"][1]["hours_outside"], QJsonValue(0));
        QCOMPARE(open["events"].toArray().size(), 4);
    }

    void tablesUnderTheFigures() {
        ChartFileHarness h;
        SaveChart(h);
        const CliResult run = RunCliIn(h.dir, {"stats", "run.zlx", "--low", "2", "--high", "8"});
        QCOMPARE(run.status, ExitSuccess);
        QVERIFY2(run.out.contains("\nReadings below 2.00 C: 14.3 %\n"), run.out);
        QCOMPARE(
            run.out.mid(StatsFiguresText(run.out).size()),
            "\nExcursions:\n"
            "Side   Start                End                  Duration  Peak     Peak at      "
            "        Readings  Ended by gap\n"
            "above  02/28/2010 23:59:45  03/01/2010 00:00:30  0:00:45   10.00 C  03/01/2010 "
            "00:00:00  3         yes\n"
            "below  03/01/2010 00:01:00  03/01/2010 00:01:15  0:00:15   1.00 C   03/01/2010 "
            "00:01:00  1         no\n"
            "\nDays:\n"
            "Date        Lowest  at        Highest  at        Mean    Readings  Gaps  Time "
            "outside\n"
            "02/28/2010  5.00 C  23:59:30  9.00 C   23:59:45  7.00 C  2         0     0:00:15\n"
            "03/01/2010  1.00 C  00:01:00  10.00 C  00:00:00  6.00 C  5         1     "
            "0:00:45\n");
        // A range without readings: no excursion, no day.
        const CliResult empty =
            RunCliIn(h.dir, {"stats", "run.zlx", "--high", "8", "--from", "03/02/10 00:00:00"});
        QCOMPARE(empty.out.mid(StatsFiguresText(empty.out).size()),
                 "\nExcursions: none\n\nDays: none\n");
    }

    void delayUsageErrors_data() {
        QTest::addColumn<QString>("delay");
        QTest::newRow("negative") << "-1";
        QTest::newRow("text") << "soon";
        QTest::newRow("infinite") << "inf";
    }
    void delayUsageErrors() {
        QFETCH(QString, delay);
        WorkDir dir;
        const CliResult run = RunCliIn(dir, {"stats", "a.zlx", "--delay", delay});
        QCOMPARE(run.status, ExitUsage);
        QVERIFY2(run.err.contains("--delay must be a number of minutes, 0 or more, not '" +
                                  delay.toUtf8() + "'."),
                 run.err);
    }
};

QTEST_GUILESS_MAIN(CliStatsExcursionsTest)
#include "cli_stats_excursions_test.moc"
