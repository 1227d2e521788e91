#include "core/calendar.h"
#include "core/date_rendering.h"
#include "day_count.h"

#include <QTest>

#include <cmath>

using namespace zantrel;

namespace {

// The decoded fields as "y/m/d h:n:s.ms", or "none".
QByteArray Fields(double t) {
    const auto f = DecodeDateTime(t);
    if (!f) return "none";
    return QByteArray::number(f->year) + '/' + QByteArray::number(f->month) + '/' +
           QByteArray::number(f->day) + ' ' + QByteArray::number(f->hour) + ':' +
           QByteArray::number(f->minute) + ':' + QByteArray::number(f->second) + '.' +
           QByteArray::number(f->millisecond);
}

} // namespace

class CalendarTest : public QObject {
    Q_OBJECT

  private slots:
    void encodeMatchesKnownDayCounts() {
        QCOMPARE(EncodeDate(1899, 12, 30).value(), 0.0);
        QCOMPARE(EncodeDate(1900, 1, 1).value(), 2.0);
        QCOMPARE(EncodeDate(2010, 1, 1).value(), 40179.0);
        QCOMPARE(EncodeDate(1899, 12, 29).value(), -1.0);
        QCOMPARE(EncodeDate(1, 1, 1).value(), -693593.0);
        QCOMPARE(EncodeDate(9999, 12, 31).value(), 2958465.0);
        QCOMPARE(At(2009, 12, 31, 23, 59, 58), kLastSecondOf2009);
        QCOMPARE(EncodeTime(12, 0, 0).value(), 0.5);
    }

    void encodeRejectsInvalidFields() {
        // Months, days of the month (century years are leap only every 400 years), years.
        const int badDates[][3] = {{2009, 13, 1}, {2009, 0, 1}, {2010, 2, 30}, {2009, 2, 29},
                                   {1900, 2, 29}, {0, 1, 1},    {10000, 1, 1}};
        for (const auto& d : badDates)
            QVERIFY(!EncodeDate(d[0], d[1], d[2]));
        QVERIFY(EncodeDate(2008, 2, 29) && EncodeDate(2000, 2, 29));
        const int badTimes[][4] = {
            {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
        for (const auto& t : badTimes)
            QVERIFY(!EncodeTime(t[0], t[1], t[2], t[3]));
    }

    void decodeRoundTripsEveryDayOfTheRange() {
        // Every 37th day across the whole range, plus the edges, at a few times of day.
        for (int64_t day = -693593; day <= 2958465; day += 37) {
            const double t = static_cast<double>(day) + 0.75;
            const auto f = DecodeDateTime(t);
            QVERIFY(f);
            QCOMPARE(
                EncodeDateTime(f->year, f->month, f->day, f->hour, f->minute, f->second).value(),
                t);
        }
        QCOMPARE(Fields(At(9999, 12, 31, 23, 59, 59)), QByteArray("9999/12/31 23:59:59.0"));
    }

    void decodeBeforeTheEpochIsFloorBased() {
        QCOMPARE(Fields(-0.25), QByteArray("1899/12/29 18:0:0.0"));
        QCOMPARE(At(1899, 12, 29, 18), -0.25);
    }

    void decodeRoundsToTheMillisecondFirst() {
        // Just below midnight: every field moves to the next day together.
        QCOMPARE(Fields(At(2009, 12, 31) + (86400.0 - 0.0004) / 86400.0),
                 QByteArray("2010/1/1 0:0:0.0"));
        // A value a hair below a whole second (as sums of intervals produce) shows that second.
        QCOMPARE(Fields(At(2010, 1, 1) + 3 * (15.0 / 86400.0)), QByteArray("2010/1/1 0:0:45.0"));
    }

    void decodeRefusesValuesOutsideTheDates() {
        for (double t :
             {std::nan(""), double(INFINITY), -double(INFINITY), 1e300, -693593.5, 2958466.0})
            QVERIFY(!DecodeDateTime(t));
        QVERIFY(FormatDateTime("yyyy", 1e300).isEmpty());
    }

    void roundToSecond() {
        const double base = At(2010, 1, 1, 10, 0, 0);
        QCOMPARE(RoundToSecond(base + 0.4 / 86400), base);
        QCOMPARE(RoundToSecond(base + 0.6 / 86400), base + 1.0 / 86400);
        QCOMPARE(RoundToSecond(base - 0.4 / 86400), base);
    }

    void addMonthsClampsToTheLastDay() {
        QCOMPARE(AddMonths(At(2009, 3, 31, 8, 30), -1), At(2009, 2, 28, 8, 30));
        QCOMPARE(AddMonths(At(2008, 3, 31), -1), At(2008, 2, 29));
        QCOMPARE(AddMonths(At(2009, 1, 31), 1), At(2009, 2, 28));
        QCOMPARE(AddMonths(At(2009, 5, 31), 1), At(2009, 6, 30));
        QCOMPARE(AddMonths(At(2010, 1, 15, 23, 59, 59), -1), At(2009, 12, 15, 23, 59, 59));
        QCOMPARE(AddMonths(At(2009, 12, 15), 1), At(2010, 1, 15));
        QCOMPARE(AddMonths(At(2009, 12, 15), -25), At(2007, 11, 15));
        QCOMPARE(AddMonths(At(2009, 12, 15), 0), At(2009, 12, 15));
        QCOMPARE(AddMonths(At(1899, 12, 29, 6), 1), At(1900, 1, 29, 6));
        QVERIFY(std::isnan(AddMonths(std::nan(""), 1)));
    }

    void twoDigitYearWindow() {
        QCOMPARE(TwoDigitYear(75, 2026), 2075);
        QCOMPARE(TwoDigitYear(76, 2026), 1976);
        QCOMPARE(TwoDigitYear(99, 2026), 1999);
        QCOMPARE(TwoDigitYear(0, 2026), 2000);
        QCOMPARE(TwoDigitYear(48, 2099), 2148);
        QCOMPARE(TwoDigitYear(49, 2099), 2049);
        QCOMPARE(TwoDigitYear(50, 2100), 2050);
    }

    void qDateTimeConversions() {
        const double t = At(2010, 3, 28, 2, 30, 0); // inside a spring daylight-saving gap
        const QDateTime utc = DayCountToQDateTimeUtc(t);
        QCOMPARE(utc.timeSpec(), Qt::UTC);
        QCOMPARE(utc.date(), QDate(2010, 3, 28));
        QCOMPARE(utc.time(), QTime(2, 30));
        QCOMPARE(DayCountFromQDateTimeUtc(utc), t);
        QCOMPARE(DayCountFromQDateTime(QDateTime(QDate(2010, 1, 1), QTime(12, 0))), 40179.5);
        QVERIFY(!DayCountToQDateTimeUtc(std::nan("")).isValid());
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "calendar_test.moc"
