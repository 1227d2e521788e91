// A parsed chart file as the archive's and the exports' rows: header values, channel, UTC
// times under the file's one offset, gaps and the event counts of each row.
#include "archive/archive_rows.h"
#include "files/chart_file_parse.h"

#include <QFile>
#include <QtTest>

using namespace zantrel;

class ArchiveRowsTest : public QObject {
    Q_OBJECT
  private slots:
    void rowsOfTheSmallChart() {
        QFile file(ZANTREL_TEST_DATA "/charts/small_chart.zlx");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const ChartParse parse = ParseChartFile({bytes.constData(), size_t(bytes.size())}, 2026);
        QVERIFY(parse.chart);
        const ArchiveRows rows(*parse.chart, "/x/small_chart.zlx", *UtcOffsetRule::Fixed("+01:00"));
        QCOMPARE(rows.unit(), QByteArray("17"));
        QCOMPARE(rows.location(), QByteArray("Lab 2"));
        QCOMPARE(rows.userName(), QByteArray("Ann"));
        QCOMPARE(rows.channel(), 1);
        QCOMPARE(rows.sourceFile(), QByteArray("small_chart.zlx"));
        QVERIFY(rows.encrypted());
        QCOMPARE(rows.offsetSeconds(), 3600);

        std::vector<ArchiveReading> seen;
        std::vector<QByteArray> texts;
        rows.forEach([&](const ArchiveReading& r) {
            seen.push_back(r);
            texts.push_back(*r.localTime);
        });
        QVERIFY(seen.size() >= 4);
        QCOMPARE(seen.size(), rows.size());
        QCOMPARE(texts[0], QByteArray("12/31/2009 23:59:30"));
        QCOMPARE(seen[0].utcMs, QDateTime(QDate(2009, 12, 31), QTime(22, 59, 30), QTimeZone::utc())
                                    .toMSecsSinceEpoch());
        QCOMPARE(rows.firstUtcMs(), seen.front().utcMs);
        QCOMPARE(rows.lastUtcMs(), seen.back().utcMs);
        QCOMPARE(*seen[0].celsius, 20.5f);
        QCOMPARE(*seen[0].rh, 45.0f);
        QCOMPARE(seen[0].events[NewSensor], 2);
        QVERIFY(seen[1].gap());
        QVERIFY(!seen[1].rh);
        QCOMPARE(seen[1].events[TempAlarmStart], 1);
        QCOMPARE(seen[1].events[TestStart], 1);
        QCOMPARE(*seen[2].celsius, -3.5f);
        QCOMPARE(seen[3].events[RhAlarmStart], 2);
        QCOMPARE(seen[2].utcMs - seen[1].utcMs, int64_t(15000));
    }

    void channelFromMonthlyNames() {
        QCOMPARE(ChannelOfFile("T2202612site.zlx"), 2);
        QCOMPARE(ChannelOfFile("T2202612site_3.zxl"), 2);
        QCOMPARE(ChannelOfFile("T1202612site.csv"), 1);
        QCOMPARE(ChannelOfFile("T2 fridge.zlx"), 1);
        QCOMPARE(ChannelOfFile("chart.zlx"), 1);
    }
};

QTEST_GUILESS_MAIN(ArchiveRowsTest)
#include "archive_rows_test.moc"
