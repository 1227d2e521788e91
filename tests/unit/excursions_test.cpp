// Excursions: runs outside the band against the delay, runs ended by a gap, a hole or the
// chart's end, runs on both sides, readings on a limit, and the time outside they add up to.
#include "chart/excursions.h"
#include "chart/readings_store.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr double kStart = 40179.0; // 1 January 2010
constexpr double kQuarterHour = 1.0 / 96;

ReadingsStore Store(const QList<float>& celsius) {
    ReadingsStore store;
    for (int i = 0; i < celsius.size(); ++i) {
        store.ReadingTimes.push_back(kStart + i * kQuarterHour);
        store.Temperatures.push_back(celsius[i]);
    }
    return store;
}

// A time as the number of quarter hours from kStart.
QString Quarter(double t) {
    return QString::number((t - kStart) / kQuarterHour, 'g', 6);
}

// "above 1-3 10@2 n2 gap": side, start and end, peak and its time, readings, ended by a gap.
QStringList Describe(const Excursions& found) {
    QStringList lines;
    for (const ExcursionPeriod& e : found.periods)
        lines << QString("%1 %2-%3 %4@%5 n%6%7")
                     .arg(e.side == BandSide::Below ? "below" : "above", Quarter(e.start),
                          Quarter(e.end))
                     .arg(e.peak.value)
                     .arg(Quarter(e.peak.time))
                     .arg(e.readings)
                     .arg(e.endedByGap ? " gap" : "");
    return lines;
}

StatisticsOptions Band(std::optional<double> low, std::optional<double> high) {
    StatisticsOptions options;
    options.low = low;
    options.high = high;
    return options;
}

} // namespace

class ExcursionsTest : public QObject {
    Q_OBJECT
  private slots:
    void runsOutsideTheBand_data() {
        QTest::addColumn<QList<float>>("celsius");
        QTest::addColumn<double>("delay");
        QTest::addColumn<QStringList>("expected");
        const float gap = NoReading;
        QTest::newRow("shorter than the delay")
            << QList<float>{5, 9, 9, 5} << 31.0 << QStringList{};
        QTest::newRow("exactly the delay")
            << QList<float>{5, 9, 9, 5} << 30.0 << QStringList{"above 1-3 9@1 n2"};
        QTest::newRow("ended by a gap") << QList<float>{5, 9, 10, gap, 9, 5} << 0.0
                                        << QStringList{"above 1-3 10@2 n2 gap", "above 4-5 9@4 n1"};
        QTest::newRow("chart ends outside")
            << QList<float>{5, 9, 10} << 0.0 << QStringList{"above 1-3 10@2 n2"};
        QTest::newRow("both sides") << QList<float>{5, 1, 0, 5, 9, 5} << 0.0
                                    << QStringList{"below 1-3 0@2 n2", "above 4-5 9@4 n1"};
        QTest::newRow("straight from below to above")
            << QList<float>{1, 9, 5} << 0.0 << QStringList{"below 0-1 1@0 n1", "above 1-2 9@1 n1"};
        QTest::newRow("on a limit is inside")
            << QList<float>{5, 8, 2, 8.0001f, 2, 1.9999f} << 0.0
            << QStringList{"above 3-4 8.0001@3 n1", "below 5-6 1.9999@5 n1"};
        QTest::newRow("the first highest is the peak")
            << QList<float>{10, 9, 10, 5} << 0.0 << QStringList{"above 0-3 10@0 n3"};
    }
    void runsOutsideTheBand() {
        QFETCH(QList<float>, celsius);
        QFETCH(double, delay);
        QFETCH(QStringList, expected);
        const Excursions found = FindExcursions(Store(celsius), {}, Band(2.0, 8.0), delay);
        QCOMPARE(Describe(found), expected);
        for (const ExcursionPeriod& e : found.periods)
            QCOMPARE(e.hours, std::round((e.end - e.start) * 86400e3) / 3600e3);
    }

    // A hole in the record ends a run one storage interval after its last reading.
    void aHoleEndsARun() {
        ReadingsStore store = Store({5, 9, 9});
        store.ReadingTimes.push_back(kStart + 10 * kQuarterHour);
        store.Temperatures.push_back(9);
        QCOMPARE(Describe(FindExcursions(store, {}, Band(2.0, 8.0))),
                 (QStringList{"above 1-3 9@1 n2 gap", "above 10-11 9@10 n1"}));
    }

    // Only the runs that lasted the delay count in the time outside; the statistics count every
    // reading outside. A range cuts the runs at its ends.
    void timeOutsideCountsOnlyExcursions() {
        const ReadingsStore store = Store({1, 5, 9, 9, 9, 5, 0, 0, 5, 9});
        const Excursions found = FindExcursions(store, {}, Band(2.0, 8.0), 30);
        QCOMPARE(Describe(found), (QStringList{"above 2-5 9@2 n3", "below 6-8 0@6 n2"}));
        QCOMPARE(found.hoursAbove, 0.75);
        QCOMPARE(found.hoursBelow, 0.5);
        const ChartStatistics all = ComputeChartStatistics(store, {}, Band(2.0, 8.0));
        QCOMPARE(all.above.hours, 1.0);
        QCOMPARE(all.below.hours, 0.75);
        const TimeRange range{kStart + 3 * kQuarterHour, kStart + 6 * kQuarterHour};
        QCOMPARE(Describe(FindExcursions(store, range, Band(2.0, std::nullopt))),
                 QStringList{"below 6-7 0@6 n1"});
    }
};

QTEST_GUILESS_MAIN(ExcursionsTest)
#include "excursions_test.moc"
