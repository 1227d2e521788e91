#include "core/calendar.h"
#include "core/sample_rate.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace zantrel;

class SampleRateTest : public QObject {
    Q_OBJECT

  private slots:
    void intervalOfARate() {
        QCOMPARE(IntervalFromSamplesPerHour(240) * kSecondsPerDay, 15.0);
        QCOMPARE(IntervalFromSamplesPerHour(7) * kSecondsPerDay, 514.0); // 514.28 s
        QCOMPARE(IntervalFromSamplesPerHour(1) * kSecondsPerDay, 3600.0);
        QCOMPARE(IntervalFromSamplesPerHour(3600) * kSecondsPerDay, 1.0);
        QCOMPARE(IntervalFromSamplesPerHour(2400) * kSecondsPerDay, 2.0); // 1.5 s rounds up
        QCOMPARE(IntervalFromSamplesPerHour(0), 0.0);
    }

    void nonsenseRatesGiveNoInterval() {
        QCOMPARE(IntervalFromSamplesPerHour(-240), 0.0);
        QCOMPARE(IntervalFromSamplesPerHour(8000), 0.0); // 0.45 s rounds to no second
        QCOMPARE(IntervalFromSamplesPerHour(std::nan("")), 0.0);
        QCOMPARE(IntervalFromSamplesPerHour(std::numeric_limits<double>::infinity()), 0.0);
        QCOMPARE(IntervalFromSamplesPerHour(std::numeric_limits<double>::denorm_min()), 0.0);
    }

    void rateOfAnInterval() {
        QCOMPARE(SamplesPerHourFromInterval(15 * kOneSecond), 240.0);
        QCOMPARE(SamplesPerHourFromInterval(514 * kOneSecond), 3600.0 / 514);
        QCOMPARE(SamplesPerHourFromInterval(15.4 * kOneSecond), 240.0);
        QCOMPARE(SamplesPerHourFromInterval(14.6 * kOneSecond), 240.0);
        QCOMPARE(SamplesPerHourFromInterval(1.0), 3600.0 / 86400);
        QCOMPARE(SamplesPerHourFromInterval(0), 0.0);
    }

    void intervalsOfNoWholeSecondGiveNoRate() {
        QCOMPARE(SamplesPerHourFromInterval(0.4 * kOneSecond), 0.0);
        QCOMPARE(SamplesPerHourFromInterval(-15 * kOneSecond), 0.0);
        QCOMPARE(SamplesPerHourFromInterval(std::nan("")), 0.0);
        QCOMPARE(SamplesPerHourFromInterval(std::numeric_limits<double>::infinity()), 0.0);
    }

    void intervalFromTimesOfTwoReadings() {
        // The interval between two stored times is a difference of day counts, a hair off
        // the whole second; the rate still comes out whole.
        const double first = EncodeDateTime(2009, 12, 31, 23, 59, 50).value();
        const double second = EncodeDateTime(2010, 1, 1, 0, 0, 5).value();
        QCOMPARE(SamplesPerHourFromInterval(second - first), 240.0);
        QCOMPARE(IntervalFromSamplesPerHour(SamplesPerHourFromInterval(second - first)),
                 15 * kOneSecond);
    }
};

QTEST_GUILESS_MAIN(SampleRateTest)
#include "sample_rate_test.moc"
