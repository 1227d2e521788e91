// Daily figures: a chart from 31 December 2009 23:00 to 2 January 2010 00:30, so that its first
// and last day are not whole, with an excursion across midnight and a gap.
#include "chart/daily_figures.h"
#include "chart/excursions.h"
#include "chart/readings_store.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kStart = 40178.0 + 23.0 / 24; // 31 December 2009 23:00
constexpr double kQuarterHour = 1.0 / 96;
constexpr int kReadings = 4 + 96 + 3;

// 5 C every quarter hour, 9 C from 23:30 to 00:15 across the first midnight, 1 C at 12:00 and
// a gap at 12:15 on 1 January, 10 C at the last reading.
ReadingsStore Chart() {
    ReadingsStore store;
    for (int i = 0; i < kReadings; ++i) {
        store.ReadingTimes.push_back(kStart + i * kQuarterHour);
        float c = 5;
        if (i >= 2 && i <= 5) c = 9;
        if (i == 4 + 48) c = 1;
        if (i == 4 + 49) c = NoReading;
        if (i == kReadings - 1) c = 10;
        store.Temperatures.push_back(c);
    }
    return store;
}

StatisticsOptions Band() {
    StatisticsOptions options;
    options.low = 2;
    options.high = 8;
    return options;
}

} // namespace

class DailyFiguresTest : public QObject {
    Q_OBJECT
  private slots:
    void eachDayHasTheFiguresOfItsReadings_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("readings");
        QTest::addColumn<int>("gaps");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("minTime");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("maxTime");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("hoursOutside");
        QTest::newRow("first, from 23:00") << 0 << QDate(2009, 12, 31) << 4 << 0 << 5.0 << kStart
                                           << 9.0 << kStart + 2 * kQuarterHour << 7.0 << 0.5;
        QTest::newRow("whole day") << 1 << QDate(2010, 1, 1) << 95 << 1 << 1.0 << 40179.5 << 9.0
                                   << 40179.0 << (5 * 92 + 18 + 1) / 95.0 << 0.75;
        QTest::newRow("last, to 00:30") << 2 << QDate(2010, 1, 2) << 3 << 0 << 5.0 << 40180.0
                                        << 10.0 << 40180.0 + 2 * kQuarterHour << 20 / 3.0 << 0.25;
    }
    void eachDayHasTheFiguresOfItsReadings() {
        QFETCH(int, index);
        QFETCH(QDate, date);
        const std::vector<DayFigures> days = ComputeDailyFigures(Chart(), {}, Band());
        QCOMPARE(days.size(), std::size_t(3));
        const DayFigures& d = days[index];
        QCOMPARE(QDate(d.year, d.month, d.day), date);
        QTEST(int(d.figures.readings), "readings");
        QTEST(int(d.figures.gaps), "gaps");
        QTEST(d.figures.minimum.value, "min");
        QTEST(d.figures.minimum.time, "minTime");
        QTEST(d.figures.maximum.value, "max");
        QTEST(d.figures.maximum.time, "maxTime");
        QFETCH(double, mean);
        QVERIFY(qFuzzyCompare(d.figures.mean, mean));
        QTEST(d.hoursOutside(), "hoursOutside");
    }

    // The excursion across midnight is one; the days' time outside adds up to the statistics'.
    void anExcursionAcrossMidnightIsListedOnce() {
        const ReadingsStore store = Chart();
        const Excursions found = FindExcursions(store, {}, Band());
        QCOMPARE(found.periods.size(), std::size_t(3));
        QCOMPARE(found.periods[0].start, kStart + 2 * kQuarterHour);
        QCOMPARE(found.periods[0].end, kStart + 6 * kQuarterHour);
        QCOMPARE(found.periods[0].hours, 1.0);
        const ChartStatistics all = ComputeChartStatistics(store, {}, Band());
        double outside = 0;
        for (const DayFigures& d : ComputeDailyFigures(store, {}, Band()))
            outside += d.hoursOutside();
        QCOMPARE(outside, all.below.hours + all.above.hours);
    }

    // A range keeps the days it reaches, each with only its readings in range.
    void aRangeCutsTheDays() {
        const TimeRange range{kStart + 3 * kQuarterHour, kStart + 4 * kQuarterHour};
        const std::vector<DayFigures> days = ComputeDailyFigures(Chart(), range, Band());
        QCOMPARE(days.size(), std::size_t(2));
        QCOMPARE(days[0].figures.readings, std::size_t(1));
        QCOMPARE(days[1].day, 1);
        QCOMPARE(days[1].figures.readings, std::size_t(1));
        QVERIFY(ComputeDailyFigures(Chart(), {0, 1}, Band()).empty());
    }

    // A time a hair before midnight shows as midnight, and so belongs to the next day.
    void aReadingBelongsToTheDayItsTimeShows() {
        ReadingsStore store;
        store.ReadingTimes = {40180.0 - 1e-9};
        store.Temperatures = {5};
        const std::vector<DayFigures> days = ComputeDailyFigures(store, {}, Band());
        QCOMPARE(days.size(), std::size_t(1));
        QCOMPARE(QDate(days[0].year, days[0].month, days[0].day), QDate(2010, 1, 2));
    }
};

QTEST_GUILESS_MAIN(DailyFiguresTest)
#include "daily_figures_test.moc"
