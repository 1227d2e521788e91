#include "core/calendar.h"
#include "core/date_parsing.h"
#include "day_count.h"

#include <QTest>

using namespace zantrel;

class DateParsingTest : public QObject {
    Q_OBJECT

  private slots:
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
};

QTEST_GUILESS_MAIN(DateParsingTest)
#include "date_parsing_test.moc"
