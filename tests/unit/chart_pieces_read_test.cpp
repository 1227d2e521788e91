// The files of a merged load read and parsed on several threads at once: the same pieces as
// one after another, and the first failing file in the order given named, whichever fails
// first.
#include "chart_pieces.h"
#include "files/chart_pieces_read.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr int kYear = 2026;

// Whether two pieces hold the same path, readings and header values.
void ComparePieces(const ChartPiece& got, const ChartPiece& want) {
    QCOMPARE(got.path, want.path);
    QCOMPARE(got.chart.readings.ReadingTimes, want.chart.readings.ReadingTimes);
    QCOMPARE(got.chart.readings.Temperatures, want.chart.readings.Temperatures);
    QCOMPARE(got.chart.readings.Humidities, want.chart.readings.Humidities);
    QCOMPARE(got.chart.readings.Events, want.chart.readings.Events);
    QCOMPARE(got.chart.user, want.chart.user);
}

// The logger's record saved in twelve pieces of 25 readings, each a duplicate.
struct TwelvePieces {
    ChartFileHarness h;
    ReadingsStore record = LoggerRecord();
    QList<QByteArray> paths;

    TwelvePieces() {
        h.s().Form5.ZLInfo.setText("ZL-1");
        for (int n = 0; n < 12; ++n)
            paths.append(SavePiece(h, Slice(record, n * 25, n * 25 + 25),
                                   QString("T12026%1site").arg(n, 2, 10, QChar('0'))));
    }
};

// A duplicate of many readings whose last line is not data, so that it fails only once all
// of it is parsed.
QByteArray SlowCorruptPiece(ChartFileHarness& h) {
    ReadingsStore many;
    for (int i = 0; i < 40000; ++i) {
        many.ReadingTimes.push_back(At(2026, 1, 1, 0, 0, 0) + i * 15 / 86400.0);
        many.Temperatures.push_back(20.0f + static_cast<float>(i % 7) / 4);
    }
    const QByteArray path = SavePiece(h, many, "slow");
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::Append)) return {};
    file.write("not a scrambled line\r\n");
    return path;
}

} // namespace

class ChartPiecesReadTest : public QObject {
    Q_OBJECT
  private slots:
    void manyFilesOnManyThreadsGiveThePiecesReadInOrder() {
        TwelvePieces t;
        const ChartPiecesRead parallel = ReadChartPieces(t.paths, kYear, 5);
        QCOMPARE(parallel.pieces.size(), std::size_t{12});
        for (int n = 0; n < t.paths.size(); ++n) {
            const ChartPiecesRead alone = ReadChartPieces({t.paths[n]}, kYear, 1);
            QCOMPARE(alone.pieces.size(), std::size_t{1});
            ComparePieces(parallel.pieces[static_cast<std::size_t>(n)], alone.pieces.front());
            if (QTest::currentTestFailed()) return;
        }

        // Loaded as one chart, given in any order, they are the logger's record.
        QList<QByteArray> shuffled = t.paths;
        std::reverse(shuffled.begin(), shuffled.end());
        std::swap(shuffled[2], shuffled[7]);
        t.h.engine->loader().loadChartFiles(shuffled);
        QCOMPARE(t.h.s().Edit1.text(), QByteArray("File loaded."));
        QCOMPARE(t.h.store().ReadingTimes, t.record.ReadingTimes);
        QCOMPARE(t.h.store().Temperatures, t.record.Temperatures);
        QCOMPARE(t.h.store().Humidities, t.record.Humidities);
        QCOMPARE(t.h.engine->loader().loadedFiles(), t.paths);
    }

    // The slow file is taken first and fails last; the missing one fails at once.
    void ofTwoBadFilesTheFirstGivenIsNamed() {
        TwelvePieces t;
        const QByteArray slow = SlowCorruptPiece(t.h);
        QVERIFY(!slow.isEmpty());
        const QByteArray missing = t.h.pathOf("T1202613site.zlx");
        for (unsigned workers : {2u, 4u}) {
            const ChartPiecesRead read =
                ReadChartPieces({t.paths[0], slow, missing, t.paths[1]}, kYear, workers);
            QCOMPARE(read.failure, QByteArray("slow.zlx: Error in file. Data is corrupt."));
            QCOMPARE(read.openFailure, QByteArray());
            QVERIFY(read.pieces.empty());
        }
        const ChartPiecesRead read = ReadChartPieces({missing, slow}, kYear, 2);
        QCOMPARE(read.failure,
                 QByteArray("T1202613site.zlx: Cannot open file. No such file or directory."));
        QCOMPARE(read.openFailure, QByteArray("No such file or directory."));
    }

    void anUnreadableFileAmongGoodOnesRefusesTheLoad() {
        TwelvePieces t;
        t.h.engine->loader().loadChartFiles(t.paths.mid(0, 2));
        const std::vector<double> shown = t.h.store().ReadingTimes;
        QList<QByteArray> paths = t.paths;
        paths.insert(6, t.h.dir.path()); // a folder
        t.h.engine->loader().loadChartFiles(paths);
        QCOMPARE(t.h.s().Edit1.text(),
                 FileNameOf(paths[6]) + ": Cannot open file. Is a directory.");
        QCOMPARE(t.h.engine->loader().openFailure(), QByteArray("Is a directory."));
        QCOMPARE(t.h.store().ReadingTimes, shown);
        QCOMPARE(t.h.engine->loader().loadedFiles(), t.paths.mid(0, 2));
    }
};

QTEST_GUILESS_MAIN(ChartPiecesReadTest)
#include "chart_pieces_read_test.moc"
