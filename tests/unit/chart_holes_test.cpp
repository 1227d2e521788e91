// A hole in the record, as between two files merged with time between them: the lines break
// there and the statistics count it as missing time; a record without holes is untouched.
#include "chart/chart_model.h"
#include "chart/chart_statistics.h"
#include "chart/statistics_report.h"
#include "chart_pieces.h"
#include "files/chart_file_loader.h"

#include <QtTest>

using namespace zantrel;

namespace {

int NullPoints(const ChartSeries& series) {
    int n = 0;
    for (int i = 0; i < series.PointCount(); ++i)
        n += series.isNull(i) ? 1 : 0;
    return n;
}

QByteArray Line(const QList<StatisticsLine>& lines, const QByteArray& label) {
    for (const StatisticsLine& line : lines)
        if (line.label == label) return line.value;
    return "<none>";
}

} // namespace

class ChartHolesTest : public QObject {
    Q_OBJECT
  private slots:
    void aHoleBetweenFilesBreaksTheLinesAndIsMissingTime() {
        ChartFileHarness h;
        const ReadingsStore record = LoggerRecord();
        const QByteArray a = SavePiece(h, Slice(record, 0, 100), "a");
        const QByteArray c = SavePiece(h, Slice(record, 200, 300), "c");
        h.engine->loader().loadChartFiles({c, a});
        QCOMPARE(h.s().Edit1.text(), QByteArray("File loaded."));

        // Reading 40 is a gap: bridged in silver as ever, not broken.
        const ChartSeries& temperature = h.engine->chart().Series1;
        QCOMPARE(temperature.PointCount(), 199 + 1);
        QCOMPARE(NullPoints(temperature), 1);
        const int hole = 99; // after the 99 drawn readings of the first file
        QVERIFY(temperature.isNull(hole));
        QVERIFY(temperature.x(hole) > record.ReadingTimes[99]);
        QVERIFY(temperature.x(hole) < record.ReadingTimes[200]);
        QCOMPARE(NullPoints(h.engine->chart().Series2), 1);
        QVERIFY(h.engine->chart().Series2.isNull(100));

        // Every reading below the limit stands for one quarter hour, the one before the
        // hole too; the time of the 100 readings not in either file is missing.
        StatisticsOptions options;
        options.low = 100;
        const ChartStatistics st = ComputeChartStatistics(h.store(), {}, options);
        QCOMPARE(st.missingHours, 25.0);
        QCOMPARE(st.below.hours, 199 * 0.25);
        QCOMPARE(st.gaps, std::size_t(1));
        const auto lines = StatisticsLines(st, options, false, "mm/dd/yyyy hh:nn:ss");
        QCOMPARE(Line(lines, "Missing time"), QByteArray("25:00:00"));

        // Only what lies in the range counts.
        TimeRange after;
        after.from = record.ReadingTimes[100];
        QCOMPARE(ComputeChartStatistics(h.store(), after, options).missingHours, 0.0);
    }

    void aRecordWithoutHolesDrawsAndCountsAsBefore() {
        ChartFileHarness h;
        const ReadingsStore record = LoggerRecord();
        h.engine->loader().LoadChartFile(SavePiece(h, Slice(record, 0, 100), "a"));
        QCOMPARE(h.engine->chart().Series1.PointCount(), 99);
        QCOMPARE(NullPoints(h.engine->chart().Series1), 0);
        StatisticsOptions options;
        options.low = 100;
        const ChartStatistics st = ComputeChartStatistics(h.store(), {}, options);
        QCOMPARE(st.missingHours, 0.0);
        QCOMPARE(st.below.hours, 99 * 0.25);
    }
};

QTEST_GUILESS_MAIN(ChartHolesTest)
#include "chart_holes_test.moc"
