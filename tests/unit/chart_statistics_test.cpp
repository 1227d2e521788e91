// The figures of a range of readings: the mean kinetic temperature against its closed forms,
// gaps kept out of every figure, range edges between readings and on them, limits exactly on
// a reading, charts with and without humidity, and an empty range.
#include "chart/chart_statistics.h"
#include "chart/readings_store.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr double kStart = 40179.0; // 1 January 2010
constexpr double kQuarterHour = 1.0 / 96;

// Readings every quarter of an hour from kStart; humidities only when given.
ReadingsStore Store(const QList<float>& celsius, const QList<float>& rh = {}) {
    ReadingsStore store;
    for (int i = 0; i < celsius.size(); ++i) {
        store.ReadingTimes.push_back(kStart + i * kQuarterHour);
        store.Temperatures.push_back(celsius[i]);
    }
    store.Humidities.assign(rh.begin(), rh.end());
    return store;
}

ChartStatistics All(const ReadingsStore& store, const StatisticsOptions& options = {}) {
    return ComputeChartStatistics(store, {}, options);
}

// MKT in Celsius from its definition, for temperatures held for equal times.
double ClosedFormMkt(const QList<double>& celsius, double activationEnergy = 83.144) {
    const double k = activationEnergy * 1000 / 8.314462618;
    double sum = 0;
    for (const double c : celsius)
        sum += std::exp(-k / (c + 273.15));
    return k / -std::log(sum / celsius.size()) - 273.15;
}

StatisticsOptions Limits(std::optional<double> low, std::optional<double> high) {
    StatisticsOptions options;
    options.low = low;
    options.high = high;
    return options;
}

bool Near(double a, double b, double tolerance = 1e-9) {
    return std::abs(a - b) <= tolerance;
}

} // namespace

class ChartStatisticsTest : public QObject {
    Q_OBJECT
  private slots:
    void constantTemperatureHasItsOwnMkt_data() {
        QTest::addColumn<float>("celsius");
        QTest::addColumn<double>("energy");
        QTest::newRow("fridge") << 5.0f << 83.144;
        QTest::newRow("freezer") << -25.5f << 83.144;
        QTest::newRow("room, other energy") << 21.3f << 60.0;
        QTest::newRow("hot") << 70.0f << 120.0;
    }
    void constantTemperatureHasItsOwnMkt() {
        QFETCH(float, celsius);
        QFETCH(double, energy);
        StatisticsOptions options;
        options.activationEnergy = energy;
        const ChartStatistics s = All(Store(QList<float>(500, celsius)), options);
        QVERIFY(s.mkt);
        QVERIFY2(Near(*s.mkt, celsius, 1e-9), qPrintable(QString::number(*s.mkt, 'g', 17)));
        QVERIFY(Near(s.mean, celsius) && Near(s.stdev, 0));
    }

    void twoTemperaturesForEqualTimesGiveTheClosedForm_data() {
        QTest::addColumn<float>("a");
        QTest::addColumn<float>("b");
        QTest::addColumn<double>("energy");
        QTest::newRow("2 and 8") << 2.0f << 8.0f << 83.144;
        QTest::newRow("-20 and 40") << -20.0f << 40.0f << 83.144;
        QTest::newRow("15 and 30, 100 kJ") << 15.0f << 30.0f << 100.0;
    }
    void twoTemperaturesForEqualTimesGiveTheClosedForm() {
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(double, energy);
        StatisticsOptions options;
        options.activationEnergy = energy;
        // Alternating and in two blocks: the order does not matter.
        QList<float> alternating, blocks(100, a);
        for (int i = 0; i < 100; ++i)
            alternating << a << b;
        blocks << QList<float>(100, b);
        const double expected = ClosedFormMkt({a, b}, energy);
        for (const QList<float>& values : {alternating, blocks}) {
            const ChartStatistics s = All(Store(values), options);
            QVERIFY(s.mkt);
            QVERIFY2(
                Near(*s.mkt, expected, 1e-9),
                qPrintable(QString("%1 vs %2").arg(*s.mkt, 0, 'g', 17).arg(expected, 0, 'g', 17)));
            // Above the mean: warm spells weigh more.
            QVERIFY(*s.mkt > (a + b) / 2.0);
            QVERIFY(Near(s.mean, (a + b) / 2.0) && Near(s.stdev, std::abs(b - a) / 2.0));
        }
    }

    void gapsAreLeftOutOfEveryFigure() {
        // Gaps first, last, between the extremes and beside readings outside the limits.
        const ReadingsStore store =
            Store({NoReading, 4, NoReading, 1, 10, NoReading, 9, 6, NoReading},
                  {NoReading, 40, 50, 30, NoReading, 60, 45, 55, 99999});
        const ChartStatistics s = All(store, Limits(2.0, 8.0));
        QCOMPARE(s.readings, std::size_t(5));
        QCOMPARE(s.gaps, std::size_t(4));
        QCOMPARE(s.first, kStart + 1 * kQuarterHour);
        QCOMPARE(s.last, kStart + 7 * kQuarterHour);
        QCOMPARE(s.minimum.value, 1.0);
        QCOMPARE(s.minimum.time, kStart + 3 * kQuarterHour);
        QCOMPARE(s.maximum.value, 10.0);
        QCOMPARE(s.maximum.time, kStart + 4 * kQuarterHour);
        QVERIFY(Near(s.mean, 6.0));
        QVERIFY(Near(s.stdev, std::sqrt((4 + 25 + 16 + 9 + 0) / 5.0)));
        QVERIFY(s.mkt && Near(*s.mkt, ClosedFormMkt({4, 1, 10, 9, 6})));
        // A reading before a gap stands for the quarter hour up to the gap; the gap's own
        // quarter counts nowhere.
        QCOMPARE(s.below.readings, std::size_t(1));
        QVERIFY(Near(s.below.hours, 0.25));
        QCOMPARE(s.above.readings, std::size_t(2));
        QVERIFY(Near(s.above.hours, 0.5));
        QVERIFY(Near(s.shareAbove(), 0.4));
        // Humidity has gaps of its own, kept apart from the temperature's.
        QCOMPARE(s.humidityReadings, std::size_t(6));
        QCOMPARE(s.humidityMinimum.value, 30.0);
        QCOMPARE(s.humidityMaximum.value, 60.0);
        QVERIFY(Near(s.humidityMean, 280 / 6.0));
    }

    void aRangeTakesTheReadingsBetweenItsEnds_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("firstIndex");
        QTest::addColumn<int>("lastIndex");
        // Readings 0..7 are 0, 1, ..., 7 degrees.
        QTest::newRow("cuts between readings") << 1.5 << 4.5 << 2 << 4;
        QTest::newRow("ends on readings") << 2.0 << 4.0 << 2 << 4;
        QTest::newRow("one reading") << 3.0 << 3.0 << 3 << 3;
        QTest::newRow("before the first") << -10.0 << 0.5 << 0 << 0;
        QTest::newRow("past the last") << 6.5 << 100.0 << 7 << 7;
    }
    void aRangeTakesTheReadingsBetweenItsEnds() {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, firstIndex);
        QFETCH(int, lastIndex);
        const ReadingsStore store = Store({0, 1, 2, 3, 4, 5, 6, 7});
        const TimeRange range{kStart + from * kQuarterHour, kStart + to * kQuarterHour};
        const ChartStatistics s = ComputeChartStatistics(store, range, Limits(100.0, std::nullopt));
        const int n = lastIndex - firstIndex + 1;
        QCOMPARE(s.readings, std::size_t(n));
        QCOMPARE(s.first, store.ReadingTimes[firstIndex]);
        QCOMPARE(s.last, store.ReadingTimes[lastIndex]);
        QCOMPARE(s.minimum.value, double(firstIndex));
        QCOMPARE(s.maximum.value, double(lastIndex));
        QVERIFY(Near(s.mean, (firstIndex + lastIndex) / 2.0));
        // Every reading of the range brings its whole quarter hour, the last one too.
        QVERIFY(Near(s.below.hours, n * 0.25));
        QCOMPARE(s.shareBelow(), 1.0);
    }

    void aReadingOnALimitIsInsideTheBand_data() {
        QTest::addColumn<float>("reading");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("below");
        QTest::addColumn<int>("above");
        QTest::newRow("on low") << 2.0f << 2.0 << 8.0 << 0 << 0;
        QTest::newRow("on high") << 8.0f << 2.0 << 8.0 << 0 << 0;
        // Limits that no binary number holds exactly, typed as the reading shows.
        QTest::newRow("on low 2.1") << 2.1f << 2.1 << 8.3 << 0 << 0;
        QTest::newRow("on high 8.3") << 8.3f << 2.1 << 8.3 << 0 << 0;
        QTest::newRow("on low -0.3") << -0.3f << -0.3 << 0.7 << 0 << 0;
        QTest::newRow("on high 0.7") << 0.7f << -0.3 << 0.7 << 0 << 0;
        QTest::newRow("just under low") << 2.09f << 2.1 << 8.3 << 1 << 0;
        QTest::newRow("just over high") << 8.31f << 2.1 << 8.3 << 0 << 1;
    }
    void aReadingOnALimitIsInsideTheBand() {
        QFETCH(float, reading);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, below);
        QFETCH(int, above);
        const float inside = float((low + high) / 2);
        const ChartStatistics s = All(Store({inside, reading, inside}), Limits(low, high));
        QCOMPARE(int(s.below.readings), below);
        QCOMPARE(int(s.above.readings), above);
        QVERIFY(Near(s.below.hours + s.above.hours, 0.25 * (below + above)));
    }

    void theLastReadingStandsForTheStepBeforeIt() {
        ReadingsStore store = Store({9, 9, 9});
        store.ReadingTimes[2] = store.ReadingTimes[1] + 1.4 * kQuarterHour;
        const ChartStatistics s = All(store, Limits(std::nullopt, 8.0));
        QVERIFY(Near(s.above.hours, 0.25 + 0.35 + 0.35));
        QVERIFY(Near(All(Store({9}), Limits(std::nullopt, 8.0)).above.hours, 0));
    }

    void aChartWithoutHumidityHasNoHumidityFigures() {
        const ChartStatistics s = All(Store({1, 2, 3}));
        QVERIFY(!s.hasHumidity);
        QCOMPARE(s.humidityReadings, std::size_t(0));
        const ChartStatistics withRh = All(Store({1, 2, 3}, {NoReading, NoReading, NoReading}));
        QVERIFY(withRh.hasHumidity);
        QCOMPARE(withRh.humidityReadings, std::size_t(0));
        // A temperature-only chart file loads a humidity of 0 for each reading.
        StatisticsOptions temperatureOnly;
        temperatureOnly.humidity = false;
        const ChartStatistics zeros = All(Store({1, 2, 3}, {0, 0, 0}), temperatureOnly);
        QVERIFY(!zeros.hasHumidity);
        QCOMPARE(zeros.humidityReadings, std::size_t(0));
    }

    void anEmptyRangeHasNoFigures_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("between readings")
            << kStart + 0.2 * kQuarterHour << kStart + 0.8 * kQuarterHour;
        QTest::newRow("after the chart") << kStart + 10.0 << kStart + 11.0;
        QTest::newRow("reversed") << kStart + 3 * kQuarterHour << kStart;
    }
    void anEmptyRangeHasNoFigures() {
        QFETCH(double, from);
        QFETCH(double, to);
        const ChartStatistics s =
            ComputeChartStatistics(Store({1, 20, 3}, {50, 60, 70}), {from, to}, Limits(2.0, 8.0));
        QCOMPARE(s.readings, std::size_t(0));
        QCOMPARE(s.gaps, std::size_t(0));
        QVERIFY(!s.mkt);
        QCOMPARE(s.below.readings + s.above.readings, std::size_t(0));
        QCOMPARE(s.below.hours + s.above.hours, 0.0);
        QCOMPARE(s.shareBelow(), 0.0);
        QVERIFY(s.hasHumidity);
        QCOMPARE(s.humidityReadings, std::size_t(0));
        // A store with nothing at all.
        QCOMPARE(All(ReadingsStore{}).readings, std::size_t(0));
        QVERIFY(!All(ReadingsStore{}).mkt);
    }

    void noMktBelowAbsoluteZero() {
        const ChartStatistics s = All(Store({5, -300, 5}));
        QCOMPARE(s.readings, std::size_t(3));
        QVERIFY(!s.mkt);
    }
};

QTEST_MAIN(ChartStatisticsTest)
#include "chart_statistics_test.moc"
