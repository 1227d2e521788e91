// Several chart files loaded as one chart: pieces of a month that overlap, a hole between
// files, and the loads refused whole, leaving the chart as it was.
#include "chart/chart_model.h"
#include "chart/chart_statistics.h"
#include "chart/statistics_report.h"
#include "chart_pieces.h"

#include <QtTest>

using namespace zantrel;

namespace {

const QByteArray kLoaded = "File loaded.";

void CompareStores(const ReadingsStore& got, const ReadingsStore& want) {
    QCOMPARE(Seconds(got.ReadingTimes), Seconds(want.ReadingTimes));
    QCOMPARE(got.Temperatures, want.Temperatures);
    QCOMPARE(got.Humidities, want.Humidities);
    for (int kind = 0; kind < EventKindCount; ++kind)
        QCOMPARE(Seconds(got.Events[kind]), Seconds(want.Events[kind]));
}

// The record saved in three pieces that overlap, as a repeated download leaves them.
struct MonthPieces {
    ChartFileHarness h;
    ReadingsStore record = LoggerRecord();
    QByteArray a, b, c;

    MonthPieces() {
        h.s().Form5.ZLInfo.setText("ZL-1");
        a = SavePiece(h, Slice(record, 0, 120), "T1202612site");
        b = SavePiece(h, Slice(record, 100, 220), "T1202612site_0");
        c = SavePiece(h, Slice(record, 200, 300), "T1202612site_1");
    }
    QByteArray load(const QList<QByteArray>& paths) {
        h.engine->loader().loadChartFiles(paths);
        return h.s().Edit1.text();
    }
};

} // namespace

class ChartMergeTest : public QObject {
    Q_OBJECT
  private slots:
    void threeOverlappingPiecesLoadAsTheLoggersRecord() {
        MonthPieces m;
        QCOMPARE(m.load({m.c, m.a, m.b}), kLoaded);
        CompareStores(m.h.store(), m.record);
        QCOMPARE(m.h.engine->loader().loadedFiles(), (QList<QByteArray>{m.a, m.b, m.c}));
        QVERIFY(m.h.s().Caption.text().endsWith(" | " + m.a + " + 2 more"));
        QVERIFY(m.h.s().SecureData.visible());
    }

    void aReadingThatDiffersRefusesNamingBothFiles() {
        MonthPieces m;
        ReadingsStore changed = Slice(m.record, 100, 220);
        changed.Temperatures[10] += 0.5f; // reading 110, which the first piece holds too
        const QByteArray d = SavePiece(m.h, changed, "T1202612site_2");
        QCOMPARE(m.load({m.a}), kLoaded);
        const QByteArray caption = m.h.s().Caption.text();
        QCOMPARE(m.load({d, m.a}), QByteArray("Files hold different readings: T1202612site.zlx "
                                              "and T1202612site_2.zlx at 12/02/2026 03:30:00."));
        CompareStores(m.h.store(), Slice(m.record, 0, 120));
        QCOMPARE(m.h.s().Caption.text(), caption);
    }

    void aFileThatDoesNotLoadRefusesTheWholeLoad() {
        MonthPieces m;
        QCOMPARE(m.load({m.b}), kLoaded);
        const QByteArray plain = m.h.pathOf("T1202612site.csv");
        QCOMPARE(m.load({m.a, plain, m.c}),
                 "T1202612site.csv: This is the plain chart file; its readings load from the "
                 "encrypted duplicate (.zlx) beside it.");
        QCOMPARE(m.load({m.a, m.h.pathOf("none.zlx")}),
                 "none.zlx: Cannot open file. No such file or directory.");
        CompareStores(m.h.store(), Slice(m.record, 100, 220));
        QVERIFY(m.h.s().SecureData.visible());
    }

    void filesOfDifferentUnitsOrChannelKindsAreRefused() {
        MonthPieces m;
        m.h.s().Form5.ZLInfo.setText("ZL-9");
        const QByteArray other = SavePiece(m.h, Slice(m.record, 220, 300), "other");
        QCOMPARE(m.load({m.a, other}),
                 "Files of different ZL units: T1202612site.zlx (ZL-1) and other.zlx (ZL-9).");
        m.h.s().Form5.ZLInfo.setText("ZL-1");
        ReadingsStore dry = Slice(m.record, 220, 300);
        dry.Humidities.clear();
        QCOMPARE(m.load({SavePiece(m.h, dry, "dry"), m.a}),
                 "Humidity in some files only: T1202612site.zlx, not dry.zlx.");
    }

    // A chart file without rows is no duplicate: with it the marker does not show.
    void secureDataOnlyWhenEveryFileIsADuplicate() {
        MonthPieces m;
        QByteArray header;
        for (const QByteArray& line : m.h.dir.read("T1202612site.csv").split('\n'))
            if (line.startsWith('~')) header += line + '\n';
        m.h.dir.put("header.csv", header);
        QCOMPARE(m.load({m.a, m.h.pathOf("header.csv"), m.b}), kLoaded);
        QVERIFY(!m.h.s().SecureData.visible());
        CompareStores(m.h.store(), Slice(m.record, 0, 220));
    }

    void aHoleBetweenFilesIsABreakAndMissingTime() {
        MonthPieces m;
        QCOMPARE(m.load({m.a, m.c}), kLoaded);
        // 119 temperatures drawn (reading 40 is a gap, bridged as ever), then the break.
        const ChartSeries& line = m.h.engine->chart().Series1;
        QVERIFY(line.isNull(119) && !line.isNull(118) && !line.isNull(120));
        QVERIFY(line.x(119) > m.record.ReadingTimes[119] &&
                line.x(119) < m.record.ReadingTimes[200]);
        QCOMPARE(line.PointCount(), 219 + 1);
        QVERIFY(m.h.engine->chart().Series2.isNull(120));
        // The reading before the hole stands for one quarter hour; 80 readings' time is missing.
        StatisticsOptions options;
        options.low = 100;
        const ChartStatistics st = ComputeChartStatistics(m.h.store(), {}, options);
        QCOMPARE(st.missingHours, 20.0);
        QCOMPARE(st.below.hours, 219 * 0.25);
        const StatisticsLine missing = StatisticsLines(st, options, false, "hh:nn").value(4);
        QCOMPARE(missing.label + ": " + missing.value, QByteArray("Missing time: 20:00:00"));
    }
};

QTEST_GUILESS_MAIN(ChartMergeTest)
#include "chart_merge_test.moc"
