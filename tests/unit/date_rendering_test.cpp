#include "core/calendar.h"
#include "core/date_parsing.h"
#include "core/date_rendering.h"
#include "day_count.h"

#include <QTest>

#include <cmath>

using namespace zantrel;

namespace {

const double kFirstSecondsOf2010 = 40179.0 + 5.0 / 86400.0; // 1 January 2010 00:00:05

} // namespace

class DateRenderingTest : public QObject {
    Q_OBJECT

  private slots:
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
};

QTEST_GUILESS_MAIN(DateRenderingTest)
#include "date_rendering_test.moc"
