// Several chart files loaded as one chart: pieces of a month that overlap, and the loads that
// are refused whole, leaving the chart as it was.
#include "chart_pieces.h"
#include "core/date_rendering.h"
#include "files/chart_file_loader.h"

#include <QtTest>

using namespace zantrel;

namespace {

const QByteArray kLoaded = "File loaded.";

void CompareStores(const ReadingsStore& got, const ReadingsStore& want) {
    QCOMPARE(got.ReadingTimes.size(), want.ReadingTimes.size());
    for (std::size_t i = 0; i < want.ReadingTimes.size(); ++i)
        QCOMPARE(std::llround(got.ReadingTimes[i] * 86400),
                 std::llround(want.ReadingTimes[i] * 86400));
    QCOMPARE(got.Temperatures, want.Temperatures);
    QCOMPARE(got.Humidities, want.Humidities);
    for (int kind = 0; kind < EventKindCount; ++kind) {
        QCOMPARE(got.Events[kind].size(), want.Events[kind].size());
        for (std::size_t i = 0; i < want.Events[kind].size(); ++i)
            QCOMPARE(std::llround(got.Events[kind][i] * 86400),
                     std::llround(want.Events[kind][i] * 86400));
    }
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
        QCOMPARE(m.h.s().Samplesperhour.text(), QByteArray("4"));
        QVERIFY(m.h.s().SecureData.visible());
        QVERIFY(m.h.s().FileEncryptFlag.checked());
        QCOMPARE(m.h.s().UnitId, QByteArray("ZL-1"));
    }

    void aReadingThatDiffersRefusesNamingBothFiles() {
        MonthPieces m;
        ReadingsStore changed = Slice(m.record, 100, 220);
        changed.Temperatures[10] += 0.5f; // reading 110, which the first piece holds too
        const QByteArray d = SavePiece(m.h, changed, "T1202612site_2");
        QCOMPARE(m.load({m.a}), kLoaded);
        const QByteArray caption = m.h.s().Caption.text();

        const QByteArray at = FormatDateTime(m.h.s().DATEFORMAT.text(), m.record.ReadingTimes[110]);
        QCOMPARE(m.load({d, m.a}),
                 "Files hold different readings: T1202612site.zlx and T1202612site_2.zlx at " + at +
                     ".");
        CompareStores(m.h.store(), Slice(m.record, 0, 120));
        QCOMPARE(m.h.s().Caption.text(), caption);
    }

    void aFileThatDoesNotLoadRefusesTheWholeLoad() {
        MonthPieces m;
        QCOMPARE(m.load({m.b}), kLoaded);
        const QByteArray caption = m.h.s().Caption.text();
        const QByteArray plain = m.h.pathOf("T1202612site.csv");
        QCOMPARE(m.load({m.a, plain, m.c}), "T1202612site.csv: Error in file. Data is corrupt.");
        CompareStores(m.h.store(), Slice(m.record, 100, 220));
        QCOMPARE(m.h.s().Caption.text(), caption);
        QVERIFY(m.h.s().SecureData.visible());

        QCOMPARE(m.load({m.a, m.h.pathOf("none.zlx")}),
                 "none.zlx: Cannot open file. No such file or directory.");
        CompareStores(m.h.store(), Slice(m.record, 100, 220));
    }

    void filesOfDifferentUnitsOrChannelKindsAreRefused() {
        MonthPieces m;
        m.h.s().Form5.ZLInfo.setText("ZL-9");
        const QByteArray other = SavePiece(m.h, Slice(m.record, 220, 300), "other");
        QCOMPARE(m.load({m.a, m.b, other}),
                 "Files of different ZL units: T1202612site.zlx (ZL-1) and other.zlx (ZL-9).");

        m.h.s().Form5.ZLInfo.setText("ZL-1");
        ReadingsStore temperatures = Slice(m.record, 220, 300);
        temperatures.Humidities.clear();
        const QByteArray dry = SavePiece(m.h, temperatures, "dry");
        QCOMPARE(m.load({dry, m.a}), "Humidity in some files only: T1202612site.zlx, not dry.zlx.");
        QCOMPARE(m.h.store().ReadingTimes.size(), std::size_t(80)); // as the last save left it
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
        QVERIFY(!m.h.s().FileEncryptFlag.checked());
        CompareStores(m.h.store(), Slice(m.record, 0, 220));

        QCOMPARE(m.load({m.a, m.b}), kLoaded);
        QVERIFY(m.h.s().SecureData.visible());
    }
};

QTEST_GUILESS_MAIN(ChartMergeTest)
#include "chart_merge_test.moc"
