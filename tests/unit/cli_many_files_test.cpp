// zantrel-cli load, stats and convert given a month's pieces as a shell glob gives them.
#include "chart_pieces.h"
#include "cli_result.h"

#include <QJsonArray>
#include <QtTest>

using namespace zantrel;

namespace {

// The record in twelve pieces of 30 readings, each overlapping the next by 5: the month's
// duplicate, then its numbered pieces _0 to _10.
struct GlobbedMonth {
    ChartFileHarness h;
    ReadingsStore record = LoggerRecord();
    QStringList byTime;

    GlobbedMonth() {
        for (std::size_t k = 0; k < 12; ++k) {
            const QString name = k ? QString("T1202612Kühl_%1.zxl").arg(k - 1) : "T1202612Kühl.zlx";
            const ReadingsStore piece =
                Slice(record, 25 * k, std::min<std::size_t>(25 * k + 30, 300));
            QFile::rename(QFile::decodeName(SavePiece(h, piece, "piece")), h.dir.file(name));
            byTime.append(name);
        }
    }
    // As "T1202612Kühl*.z?l" expands: sorted, so _10 before _2.
    CliResult run(const QStringList& arguments) {
        QStringList glob = byTime;
        glob.sort();
        return RunCliIn(h.dir, arguments.mid(0, 1) + glob + arguments.mid(1));
    }
};

} // namespace

class CliManyFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void aGlobOfPiecesLoadsAsOneChart() {
        GlobbedMonth m;
        const CliResult run = m.run({"load", "--json"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lastErrLine(), QByteArray("File loaded."));
        const QJsonObject json = run.json();
        QCOMPARE(json["readings"].toArray().size(), 300);
        QCOMPARE(json["events"]["test_start"].toArray().size(), 2);
        QStringList files;
        for (const QJsonValue& file : json["files"].toArray())
            files.append(file.toString().section('/', -1));
        QCOMPARE(files, m.byTime);
        QCOMPARE(m.run({"stats", "--json"}).json()["missing_hours"].toDouble(), 0.0);

        QCOMPARE(m.run({"convert", "--out", "merged.csv"}).status, 0);
        const QJsonObject merged = RunCliIn(m.h.dir, {"load", "merged.zlx", "--json"}).json();
        QCOMPARE(merged["readings"], json["readings"]);
        QCOMPARE(merged["events"], json["events"]);

        m.byTime.remove(4, 2); // readings 105 to 149 are in no other piece
        QCOMPARE(m.run({"stats", "--json"}).json()["missing_hours"].toDouble(), 45 * 0.25);
    }
};

QTEST_GUILESS_MAIN(CliManyFilesTest)
#include "cli_many_files_test.moc"
