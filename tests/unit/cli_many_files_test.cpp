// zantrel-cli load, stats and convert given a month's pieces as a shell glob gives them.
#include "chart_pieces.h"
#include "cli_result.h"

#include <QJsonArray>
#include <QtTest>

using namespace zantrel;

namespace {

// The record in twelve pieces of 30 readings, each overlapping the next by 5: the month's
// duplicate and its numbered pieces _0 to _10.
struct GlobbedMonth {
    ChartFileHarness h;
    ReadingsStore record = LoggerRecord();
    QStringList byTime; // the piece names, earliest first

    GlobbedMonth() {
        for (int k = 0; k < 12; ++k) {
            const QString name =
                k == 0 ? QString("T1202612site.zlx") : QString("T1202612site_%1.zxl").arg(k - 1);
            const QByteArray saved =
                SavePiece(h, Slice(record, 25 * k, std::min(25 * k + 30, 300)), "piece");
            QFile::rename(QFile::decodeName(saved), h.dir.file(name));
            byTime.append(name);
        }
    }
    // The names as "T1202612site*.z?l" expands: sorted, so _10 before _2.
    QStringList glob() const {
        QStringList names = byTime;
        names.sort();
        return names;
    }
    CliResult run(const QString& command, const QStringList& files, const QStringList& options) {
        return RunCliIn(h.dir, QStringList{command} + files + options);
    }
};

QStringList FileNames(const QJsonArray& files) {
    QStringList names;
    for (const QJsonValue& file : files)
        names.append(file.toString().section('/', -1));
    return names;
}

} // namespace

class CliManyFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void aGlobOfPiecesLoadsAsOneChart() {
        GlobbedMonth m;
        const CliResult run = m.run("load", m.glob(), {"--json"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lastErrLine(), QByteArray("File loaded."));
        const QJsonObject json = run.json();
        QCOMPARE(json["readings"].toArray().size(), 300);
        QCOMPARE(json["events"]["test_start"].toArray().size(), 2);
        QCOMPARE(json["events"]["new_sensor"].toArray().size(), 2);
        QCOMPARE(json["encrypted"].toBool(), true);
        QCOMPARE(FileNames(json["files"].toArray()), m.byTime);

        const QJsonObject stats = m.run("stats", m.glob(), {"--json"}).json();
        QCOMPARE(stats["readings"].toInt(), 299);
        QCOMPARE(stats["gaps"].toInt(), 1);
        QCOMPARE(stats["missing_hours"].toDouble(), 0.0);
    }

    void piecesLeftOutAreMissingTime() {
        GlobbedMonth m;
        QStringList some = m.byTime;
        some.remove(4, 2); // readings 105 to 149 are in no other piece
        const QJsonObject stats = m.run("stats", some, {"--json"}).json();
        QCOMPARE(stats["status"].toString(), QString("File loaded."));
        QCOMPARE(stats["missing_hours"].toDouble(), 45 * 0.25);
    }

    void convertWritesOneChartOfTheMergedReadings() {
        GlobbedMonth m;
        QCOMPARE(m.run("convert", m.glob(), {"--out", "merged.csv"}).status, 0);
        const CliResult merged = m.run("load", {"merged.zlx"}, {"--json"});
        const CliResult pieces = m.run("load", m.glob(), {"--json"});
        QCOMPARE(merged.json()["readings"], pieces.json()["readings"]);
        QCOMPARE(merged.json()["events"], pieces.json()["events"]);
    }

    void aConflictingPieceFailsTheJobAndSaysWhere() {
        GlobbedMonth m;
        ReadingsStore changed = Slice(m.record, 50, 80);
        changed.Humidities[27] = 99; // reading 77, which the next piece holds too
        const QByteArray saved = SavePiece(m.h, changed, "piece");
        QFile::remove(m.h.dir.file("T1202612site_1.zxl"));
        QFile::rename(QFile::decodeName(saved), m.h.dir.file("T1202612site_1.zxl"));
        const CliResult run = m.run("load", m.glob(), {});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.lastErrLine().startsWith("Files hold different readings: "
                                              "T1202612site_1.zxl and T1202612site_2.zxl at "),
                 run.err);
        QCOMPARE(run.out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(CliManyFilesTest)
#include "cli_many_files_test.moc"
