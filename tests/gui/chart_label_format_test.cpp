#include "core/calendar.h"
#include "day_count.h"
#include "plot/chart_label_format.h"

#include <QTest>

using namespace zantrel;

class ChartLabelFormatTest : public QObject {
    Q_OBJECT

  private slots:
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

QTEST_GUILESS_MAIN(ChartLabelFormatTest)
#include "chart_label_format_test.moc"
