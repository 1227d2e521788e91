#include "core/date_time.h"
#include "core/format_settings.h"

#include <QTest>

#include <cmath>

using namespace zantrel;

namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms).value();
}

// The decoded fields as "y/m/d h:n:s.ms", or "none".
QByteArray Fields(double t) {
    const auto f = DecodeDateTime(t);
    if (!f) return "none";
    return QByteArray::number(f->year) + '/' + QByteArray::number(f->month) + '/' +
           QByteArray::number(f->day) + ' ' + QByteArray::number(f->hour) + ':' +
           QByteArray::number(f->minute) + ':' + QByteArray::number(f->second) + '.' +
           QByteArray::number(f->millisecond);
}

const double kLastSecondOf2009 = 40178.0 + 86398.0 / 86400.0; // 31 December 2009 23:59:58
const double kFirstSecondsOf2010 = 40179.0 + 5.0 / 86400.0;   // 1 January 2010 00:00:05

} // namespace

class DateTimeTest : public QObject {
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

    void rendersTheEightFormats_data() {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<QByteArray>("endOf2009");
        QTest::addColumn<QByteArray>("startOf2010");
        auto row = [](const char* p, const char* a, const char* b) {
            QTest::newRow(p) << QByteArray(p) << QByteArray(a) << QByteArray(b);
        };
        row("mm/dd/yyyy hh:mm:ss", "12/31/2009 23:59:58", "01/01/2010 00:00:05");
        row("mm/dd/yyyy hh:mm:ss AM/PM", "12/31/2009 11:59:58 PM", "01/01/2010 12:00:05 AM");
        row("dd/mm/yyyy hh:mm:ss", "31/12/2009 23:59:58", "01/01/2010 00:00:05");
        row("yyyy/mm/dd hh:mm:ss", "2009/12/31 23:59:58", "2010/01/01 00:00:05");
        row("mm/dd/yyyy, hh:mm:ss", "12/31/2009, 23:59:58", "01/01/2010, 00:00:05");
        row("mm/dd/yyyy, hh:mm:ss AM/PM", "12/31/2009, 11:59:58 PM", "01/01/2010, 12:00:05 AM");
        row("dd/mm/yyyy, hh:mm:ss", "31/12/2009, 23:59:58", "01/01/2010, 00:00:05");
        row("yyyy/mm/dd, hh:mm:ss", "2009/12/31, 23:59:58", "2010/01/01, 00:00:05");
    }
    void rendersTheEightFormats() {
        QFETCH(QByteArray, pattern);
        QFETCH(QByteArray, endOf2009);
        QFETCH(QByteArray, startOf2010);
        QCOMPARE(FormatDateTime(pattern, kLastSecondOf2009), endOf2009);
        QCOMPARE(FormatDateTime(pattern, kFirstSecondsOf2010), startOf2010);
        // What is written reads back to the same second with the format's own date part.
        const QByteArray shortFormat = pattern.left(pattern.indexOf(' '));
        QCOMPARE(ParseDateTime(endOf2009, shortFormat, 2026).value(), kLastSecondOf2009);
        QCOMPARE(ParseDateTime(startOf2010, shortFormat, 2026).value(), kFirstSecondsOf2010);
    }

    void rendersTheTwelveHourClock() {
        const QByteArray p = "hh:mm:ss AM/PM";
        QCOMPARE(FormatDateTime(p, At(2010, 1, 1, 0, 0, 0)), QByteArray("12:00:00 AM"));
        QCOMPARE(FormatDateTime(p, At(2010, 1, 1, 1, 0, 0)), QByteArray("01:00:00 AM"));
        QCOMPARE(FormatDateTime(p, At(2010, 1, 1, 11, 59, 59)), QByteArray("11:59:59 AM"));
        QCOMPARE(FormatDateTime(p, At(2010, 1, 1, 12, 0, 0)), QByteArray("12:00:00 PM"));
        QCOMPARE(FormatDateTime(p, At(2010, 1, 1, 13, 0, 0)), QByteArray("01:00:00 PM"));
        QCOMPARE(FormatDateTime("h:nn am/pm", At(2010, 1, 1, 23, 5)), QByteArray("11:05 pm"));
        QCOMPARE(FormatDateTime("h a/p", At(2010, 1, 1, 9)), QByteArray("9 a"));
        // A marker before the hour still makes it a 12-hour clock.
        QCOMPARE(FormatDateTime("AM/PM h:nn", At(2010, 1, 1, 18)), QByteArray("PM 6:00"));
    }

    void rendersTheOtherPatterns() {
        const double t = At(2009, 3, 7, 8, 5, 9, 42);
        QCOMPARE(FormatDateTime("mmddyyhhnnss", t), QByteArray("030709080509"));
        QCOMPARE(FormatDateTime("yyyymm", t), QByteArray("200903"));
        QCOMPARE(FormatDateTime("mm/dd/yy", t), QByteArray("03/07/09"));
        QCOMPARE(FormatDateTime("m/d/yy h:n:s", t), QByteArray("3/7/09 8:5:9"));
        QCOMPARE(FormatDateTime("M/d/yy hh:mm:ss AM/PM", t), QByteArray("3/7/09 08:05:09 AM"));
        QCOMPARE(FormatDateTime("hh:nn:ss.zzz", t), QByteArray("08:05:09.042"));
        QCOMPARE(FormatDateTime("ddd dddd mmm mmmm", t), QByteArray("Sat Saturday Mar March"));
        // 'mm' after an hour token is minutes even across a separator; other letters reset it.
        QCOMPARE(FormatDateTime("hh mm", t), QByteArray("08 05"));
        QCOMPARE(FormatDateTime("hh:mm:mm", t), QByteArray("08:05:03"));
        // Quoted text and unknown letters are copied; separators follow the arguments.
        QCOMPARE(FormatDateTime("'day' d \"of\" mm, yyyy", t), QByteArray("day 7 of 03, 2009"));
        QCOMPARE(FormatDateTime("dd/mm/yyyy hh:mm", t, '.', '-'), QByteArray("07.03.2009 08-05"));
        QCOMPARE(FormatDateTime("'unterminated", t), QByteArray("unterminated"));
        QCOMPARE(FormatDateTime("", t), QByteArray());
        QCOMPARE(FormatDateTime("yyyy", At(1, 1, 1)), QByteArray("0001"));
    }

    void formatterAppendsToAnExistingBuffer() {
        const DateFormatter f("mm/dd/yyyy, hh:mm:ss");
        QByteArray row = "x,";
        QVERIFY(f.append(row, kLastSecondOf2009));
        row += ", 20.50";
        QCOMPARE(row, QByteArray("x,12/31/2009, 23:59:58, 20.50"));
        QVERIFY(!f.append(row, std::nan("")));
        QCOMPARE(row, QByteArray("x,12/31/2009, 23:59:58, 20.50"));
        // A pattern longer than the formatter's stack buffer.
        const QByteArray longText(300, '-');
        const DateFormatter wide("yyyy'" + longText + "'dddd");
        QByteArray out = "<";
        QVERIFY(wide.append(out, kLastSecondOf2009));
        QCOMPARE(out, "<2009" + longText + "Thursday");
        QVERIFY(!wide.append(out, INFINITY));
        QCOMPARE(out.size(), 1 + 4 + 300 + 8);
    }

    void defaultFormLeavesOutMidnight() {
        FormatSettings s;
        s.shortDateFormat = "m/d/yyyy";
        s.longTimeFormat = "h:nn:ss AM/PM";
        QCOMPARE(FormatDateTimeDefault(At(2010, 1, 1), s), QByteArray("1/1/2010"));
        QCOMPARE(FormatDateTimeDefault(At(2010, 1, 1, 0, 0, 1), s),
                 QByteArray("1/1/2010 12:00:01 AM"));
        QCOMPARE(FormatDateTimeDefault(At(2009, 12, 31, 13, 5, 0), s),
                 QByteArray("12/31/2009 1:05:00 PM"));
        s.shortDateFormat = "dd/mm/yyyy";
        s.longTimeFormat = "hh:nn:ss";
        s.dateSeparator = '.';
        QCOMPARE(FormatDateTimeDefault(At(2009, 12, 31, 13, 5, 0), s),
                 QByteArray("31.12.2009 13:05:00"));
    }

    void parsesInTheOrderOfTheShortDateFormat() {
        const double t = At(2009, 12, 31, 23, 59, 58);
        QCOMPARE(ParseDateTime("12/31/09 23:59:58", "mm/dd/yy", 2026).value(), t);
        QCOMPARE(ParseDateTime("12/31/2009 23:59:58", "M/d/yyyy", 2026).value(), t);
        QCOMPARE(ParseDateTime("31.12.2009 23-59-58", "dd/mm/yyyy", 2026, '.', '-').value(), t);
        // A date without a time.
        QCOMPARE(ParseDateTime("12/31/2009", "mm/dd/yyyy", 2026).value(), At(2009, 12, 31));
        QCOMPARE(ParseDateTime(" 1/ 2/2010  3:04", "m/d/yyyy", 2026).value(), At(2010, 1, 2, 3, 4));
        // Two-digit years through the window; three or four digits are taken as they are.
        QCOMPARE(ParseDateTime("01/01/76", "mm/dd/yy", 2026).value(), At(1976, 1, 1));
        QCOMPARE(ParseDateTime("01/01/75", "mm/dd/yy", 2026).value(), At(2075, 1, 1));
        QCOMPARE(ParseDateTime("01/01/0975", "mm/dd/yy", 2026).value(), At(975, 1, 1));
    }

    void parsesAmPmAndIgnoresTrailingText() {
        const QByteArray f = "mm/dd/yyyy";
        QCOMPARE(ParseDateTime("01/01/2010 12:00:05 PM", f, 2026).value(),
                 At(2010, 1, 1, 12, 0, 5));
        QCOMPARE(ParseDateTime("01/01/2010 11:59:58 pm", f, 2026).value(),
                 At(2010, 1, 1, 23, 59, 58));
        QCOMPARE(ParseDateTime("01/01/2010 01:00:00AM", f, 2026).value(), At(2010, 1, 1, 1));
        QCOMPARE(ParseDateTime("12/31/2009 23:59:58, ", f, 2026).value(), kLastSecondOf2009);
        QCOMPARE(ParseDateTime("12/31/2009 23:59:58 trailing", f, 2026).value(), kLastSecondOf2009);
        QVERIFY(!ParseDateTime("01/01/2010 00:00:05 AM", f, 2026));
        QVERIFY(!ParseDateTime("01/01/2010 13:00:00 PM", f, 2026));
    }

    void parseRefusesInvalidText_data() {
        QTest::addColumn<QByteArray>("text");
        // Field ranges, missing or foreign parts, and numbers too long for any field.
        for (const char* t : {"", "   ", "garbage", "13/01/2009 00:00:00", "00/01/2009",
                              "02/30/2009", "12/31/2009 25:00:00", "12/31/2009 23:59:60",
                              "12/31/2009 23", "12/31/2009 23:", "12/31", "12/31/", "12-31-2009",
                              "12/31/2009 x", "-1/31/2009", "99999999999999999999/1/2009",
                              "12/31/99999", "12/31/0000", "12/31/2009 99999999999:00"})
            QTest::newRow(t) << QByteArray(t);
    }
    void parseRefusesInvalidText() {
        QFETCH(QByteArray, text);
        QVERIFY(!ParseDateTime(text, "mm/dd/yyyy", 2026));
    }

    void parseNeverReadsPastTheText() {
        // A date cut out of a longer buffer: the digits after it must not be seen.
        const QByteArray whole = "12/31/2009 23:59:58";
        const QByteArray cut = QByteArray::fromRawData(whole.constData(), 12); // "12/31/2009 2"
        QVERIFY(!ParseDateTime(cut, "mm/dd/yyyy", 2026));
        const QByteArray year = QByteArray::fromRawData(whole.constData(), 8); // "12/31/20"
        QCOMPARE(ParseDateTime(year, "mm/dd/yyyy", 2026).value(), At(2020, 12, 31));
    }

    void chartLabelFormats_data() {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<QString>("label");
        auto row = [](const char* p, const char* l) {
            QTest::newRow(p) << QByteArray(p) << QString::fromLatin1(l);
        };
        row("mm/dd/yyyy hh:mm:ss", "MM/dd/yyyy\nhh:mm:ss");
        row("mm/dd/yyyy hh:mm:ss AM/PM", "MM/dd/yyyy\nhh:mm:ss AP");
        row("dd/mm/yyyy hh:mm:ss", "dd/MM/yyyy\nhh:mm:ss");
        row("yyyy/mm/dd hh:mm:ss", "yyyy/MM/dd\nhh:mm:ss");
        row("mm/dd/yyyy, hh:mm:ss", "MM/dd/yyyy\nhh:mm:ss");
        row("M/d/yy hh:mm:ss AM/PM", "M/d/yy\nhh:mm:ss AP");
        row("hh:nn am/pm dd/mm", "hh:mm ap\ndd/MM");
        row("yyyy-mm-dd 'at' hh:nn", "yyyy-MM-dd\nhh:mm");
        row("'Day' d, h 'h'", "'Day 'd\nh' h'");
        row("\"it's\" d", "'it''s 'd");
        row("mm/dd/yyyy", "MM/dd/yyyy");
        row("at d", "'at 'd");
        row("", "");
    }
    void chartLabelFormats() {
        QFETCH(QByteArray, pattern);
        QFETCH(QString, label);
        QCOMPARE(ToChartLabelFormat(pattern), label);
    }

    void chartLabelsMeanTheSameToQt() {
        const QDateTime utc = DayCountToQDateTimeUtc(At(2009, 12, 31, 23, 59, 58));
        const QLocale c = QLocale::c();
        QCOMPARE(c.toString(utc, ToChartLabelFormat("M/d/yy hh:mm:ss AM/PM")),
                 QStringLiteral("12/31/09\n11:59:58 PM"));
        QCOMPARE(c.toString(utc, ToChartLabelFormat("dd/mm/yyyy, hh:mm:ss")),
                 QStringLiteral("31/12/2009\n23:59:58"));
        QCOMPARE(c.toString(utc, ToChartLabelFormat("\"it's\" d 'at' h")),
                 QStringLiteral("it's 31\n23"));
    }
};

QTEST_GUILESS_MAIN(DateTimeTest)
#include "date_time_test.moc"
