// The exports of chart files: long CSV and line protocol text with gaps, humidity and
// escaping, several files under their own offsets, a file across a clock change, the Excel
// workbook read back from its XML, and failed writes that leave nothing behind.
#include "archive/chart_export.h"
#include "export_charts.h"
#include "file_size_limit.h"

#include <QDir>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

using namespace zantrel;

namespace {

const UtcOffsetRule kPlusOne = *UtcOffsetRule::Fixed("+01:00");

// Readings 4, gap, 1 with humidity 40, 50, 30, of a unit and location that need escaping.
ExportChart AwkwardChart(bool humidity) {
    ExportChart c;
    c.unit = "ZL \"7\"";
    c.location = "Lab 2, north=cold";
    c.celsius = {4, NoReading, 1.3f};
    if (humidity) c.rh = {40, 50, 31};
    return c;
}

QByteArray Exported(const QList<QByteArray>& paths, ExportFormat format, const UtcOffsetRule& rule,
                    const WorkDir& dir) {
    const ExportSources sources(paths, 2026, rule);
    if (!sources.failure().isEmpty()) qWarning() << sources.failure();
    const QByteArray out = QFile::encodeName(dir.file("out"));
    const ExportOutcome outcome = ExportToFile(sources.files(), format, out);
    if (!outcome.ok()) qWarning() << outcome.failure;
    return dir.read("out");
}

// The cells of an xlsx sheet: reference ("B2") to its value (number or inline string) and
// to its style index.
struct SheetCells {
    QMap<QString, QString> values;
    QMap<QString, QString> styles;
    QByteArray xml;
};

QByteArray Unzipped(const QString& xlsx, const char* member) {
    QProcess unzip;
    unzip.start("unzip", {"-p", xlsx, member});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

SheetCells ReadSheet(const QString& xlsx, const char* member) {
    SheetCells cells;
    cells.xml = Unzipped(xlsx, member);
    QXmlStreamReader xml(cells.xml);
    QString ref;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"c") {
            ref = xml.attributes().value("r").toString();
            cells.styles[ref] = xml.attributes().value("s").toString();
        } else if (xml.name() == u"v" || xml.name() == u"t") {
            cells.values[ref] = xml.readElementText();
        }
    }
    return cells;
}

} // namespace

class ChartExportTest : public QObject {
    Q_OBJECT

  private slots:
    void longCsvWithAndWithoutHumidity() {
        ChartFileHarness h;
        const QByteArray with = SaveExportChart(h, "with.csv", AwkwardChart(true));
        const QByteArray without = SaveExportChart(h, "without.csv", AwkwardChart(false));
        QCOMPARE(Exported({with}, ExportFormat::Csv, kPlusOne, h.dir),
                 QByteArray("time_utc,local_time,unit,location,channel,celsius,rh,gap\r\n"
                            "2010-02-28T23:00:00Z,03/01/2010 00:00:00,\"ZL \"\"7\"\"\","
                            "\"Lab 2, north=cold\",1,4,40,0\r\n"
                            "2010-02-28T23:00:15Z,03/01/2010 00:00:15,\"ZL \"\"7\"\"\","
                            "\"Lab 2, north=cold\",1,,,1\r\n"
                            "2010-02-28T23:00:30Z,03/01/2010 00:00:30,\"ZL \"\"7\"\"\","
                            "\"Lab 2, north=cold\",1,1.3,31,0\r\n"));
        const QList<QByteArray> rows =
            Exported({without}, ExportFormat::Csv, kPlusOne, h.dir).split('\n');
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[1].endsWith(",1,4,,0\r"));
        QVERIFY(rows[3].endsWith(",1,1.3,,0\r"));
    }

    void lineProtocolEscapesTagsAndLeavesGapsOut() {
        ChartFileHarness h;
        const QByteArray with = SaveExportChart(h, "with.csv", AwkwardChart(true));
        QCOMPARE(Exported({with}, ExportFormat::Influx, kPlusOne, h.dir),
                 QByteArray("zantrel,channel=1,location=Lab\\ 2\\,\\ north\\=cold,unit=ZL\\ \"7\" "
                            "celsius=4,rh=40 1267398000000000000\n"
                            "zantrel,channel=1,location=Lab\\ 2\\,\\ north\\=cold,unit=ZL\\ \"7\" "
                            "celsius=1.3,rh=31 1267398030000000000\n"));
        // A header without location or ZL ID has no such tag (an empty tag is refused); no
        // humidity, no rh field.
        ExportChart bare;
        bare.unit = "";
        bare.location = "";
        bare.celsius = {20.1f};
        const QByteArray path = SaveExportChart(h, "T2201003bare.csv", bare);
        QCOMPARE(Exported({path}, ExportFormat::Influx, kPlusOne, h.dir),
                 QByteArray("zantrel,channel=2 celsius=20.1 1267398000000000000\n"));
    }

    // Each file takes the zone's offset at its own first reading and keeps it: winter and
    // summer files differ, and a file across the autumn change stays evenly spaced.
    void oneOffsetPerFileUnderAZone() {
        ChartFileHarness h;
        ExportChart winter;
        winter.first = At(2026, 1, 10, 12, 0, 0);
        winter.celsius = {5};
        ExportChart autumn;
        autumn.first = At(2026, 10, 25, 1, 30, 0);
        autumn.stepSeconds = 1800;
        autumn.celsius = {1, 2, 3, 4, 5};
        const QByteArray a = SaveExportChart(h, "winter.csv", winter);
        const QByteArray b = SaveExportChart(h, "autumn.csv", autumn);
        const QList<QByteArray> rows =
            Exported({a, b}, ExportFormat::Csv, *UtcOffsetRule::Zone("Europe/Berlin"), h.dir)
                .split('\n');
        QCOMPARE(rows.size(), 8);
        QVERIFY(rows[1].startsWith("2026-01-10T11:00:00Z,01/10/2026 12:00:00,"));
        // 01:30 to 03:30 on the logger's clock, in summer time throughout.
        const QList<QByteArray> expected = {
            "2026-10-24T23:30:00Z,10/25/2026 01:30:00", "2026-10-25T00:00:00Z,10/25/2026 02:00:00",
            "2026-10-25T00:30:00Z,10/25/2026 02:30:00", "2026-10-25T01:00:00Z,10/25/2026 03:00:00",
            "2026-10-25T01:30:00Z,10/25/2026 03:30:00"};
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(rows[2 + i].startsWith(expected[i] + ','), rows[2 + i]);
    }

    void workbookHasDateCellsAFrozenHeaderAndWideColumns() {
        ChartFileHarness h;
        const QByteArray path = SaveExportChart(h, "with.csv", AwkwardChart(true));
        const ExportSources sources({path}, 2026, kPlusOne);
        const QString xlsx = h.dir.file("out.xlsx");
        const ExportOutcome outcome =
            ExportToFile(sources.files(), ExportFormat::Xlsx, QFile::encodeName(xlsx));
        QVERIFY2(outcome.ok(), qPrintable(outcome.failure));
        QCOMPARE(outcome.readings, std::size_t(2));
        QCOMPARE(outcome.gaps, std::size_t(1));

        const SheetCells sheet = ReadSheet(xlsx, "xl/worksheets/sheet1.xml");
        QCOMPARE(sheet.values["A1"], "time_utc");
        QCOMPARE(sheet.values["H1"], "gap");
        // 2010-02-28 23:00 UTC and 2010-03-01 00:00 on the logger's clock as serial dates.
        QCOMPARE(sheet.values["A2"].toDouble(), 40237.0 + 23.0 / 24);
        QCOMPARE(sheet.values["B2"].toDouble(), 40238.0);
        QCOMPARE(sheet.values["C2"], "ZL \"7\"");
        QCOMPARE(sheet.values["D2"], "Lab 2, north=cold");
        QCOMPARE(sheet.values["F2"], "4");
        QCOMPARE(sheet.values["F4"], "1.3");
        QCOMPARE(sheet.values["G4"], "31");
        QVERIFY(!sheet.values.contains("F3"));
        QVERIFY(!sheet.values.contains("G3"));
        QCOMPARE(sheet.values["H3"], "1");
        QCOMPARE(sheet.values["H4"], "0");
        QVERIFY(
            sheet.xml.contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
                               "state=\"frozen\"/>"));
        QVERIFY(sheet.xml.contains("<col min=\"2\" max=\"2\" width=\"20.7109375\""));
        QVERIFY(sheet.xml.contains("<col min=\"4\" max=\"4\" width=\"19.7109375\""));

        // Both time columns carry the one style whose number format shows a date and time.
        QCOMPARE(sheet.styles["A2"], sheet.styles["B3"]);
        const QByteArray styles = Unzipped(xlsx, "xl/styles.xml");
        QVERIFY(styles.contains("<numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd hh:mm:ss\"/>"));
        const QByteArray cellXfs = styles.mid(styles.indexOf("<cellXfs"));
        QList<QByteArray> xfs;
        for (const QByteArray& element : cellXfs.split('<'))
            if (element.startsWith("xf ")) xfs.append(element);
        const QByteArray xf = xfs.value(sheet.styles["A2"].toInt());
        QVERIFY2(xf.contains("numFmtId=\"164\""), xf);
    }

    // A missing folder, a folder in the file's place and a full disk: a clear text, the
    // earlier file as it was and no partial file beside it.
    void failedWritesLeaveNothing() {
        ChartFileHarness h;
        ExportChart big;
        big.celsius = QList<float>(20000, 21.5f);
        const ExportSources sources({SaveExportChart(h, "big.csv", big)}, 2026, kPlusOne);
        const QByteArray missing = QFile::encodeName(h.dir.file("no/such/out.csv"));
        QCOMPARE(ExportToFile(sources.files(), ExportFormat::Csv, missing).failure,
                 QString("Cannot write %1: No such file or directory.")
                     .arg(h.dir.file("no/such/out.csv")));
        QDir(h.dir.file("")).mkdir("folder.xlsx");
        QCOMPARE(ExportToFile(sources.files(), ExportFormat::Xlsx,
                              QFile::encodeName(h.dir.file("folder.xlsx")))
                     .failure,
                 QString("Cannot write %1: it is a folder.").arg(h.dir.file("folder.xlsx")));

        // The workbook's rows fill a temporary file of the library's before the workbook is
        // put together: both must fail the export.
        const std::pair<ExportFormat, rlim_t> cases[] = {{ExportFormat::Csv, 64 * 1024},
                                                         {ExportFormat::Xlsx, 64 * 1024},
                                                         {ExportFormat::Xlsx, 4 * 1024}};
        for (const auto& [format, bytes] : cases) {
            h.dir.put("out", "earlier");
            const QStringList before = QDir(h.dir.file("")).entryList(QDir::Files | QDir::Hidden);
            ExportOutcome outcome;
            {
                const FileSizeLimit limit(bytes);
                outcome =
                    ExportToFile(sources.files(), format, QFile::encodeName(h.dir.file("out")));
            }
            QVERIFY2(!outcome.ok(), ExportFileSuffix(format));
            QVERIFY2(outcome.failure.startsWith("Cannot write " + h.dir.file("out") + ": "),
                     qPrintable(outcome.failure));
            QCOMPARE(h.dir.read("out"), QByteArray("earlier"));
            QCOMPARE(QDir(h.dir.file("")).entryList(QDir::Files | QDir::Hidden), before);
        }
    }
};

QTEST_GUILESS_MAIN(ChartExportTest)
#include "chart_export_test.moc"
