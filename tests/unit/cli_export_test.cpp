// zantrel-cli export: to standard output and to a file, several files under one rule, what it
// says it wrote, and its usage errors and load failures.
#include "cli_result.h"
#include "export_charts.h"

#include <QtTest>

using namespace zantrel;

namespace {

ExportChart TwoWithGap() {
    ExportChart c;
    c.celsius = {4, NoReading, 6};
    return c;
}

} // namespace

class CliExportTest : public QObject {
    Q_OBJECT

  private slots:
    void csvToStandardOutput() {
        ChartFileHarness h;
        SaveExportChart(h, "run.csv", TwoWithGap());
        const CliResult run = RunCliIn(h.dir, {"export", "run.zlx", "--format", "csv", "--out", "-",
                                               "--utc-offset", "-05:30"});
        QCOMPARE(run.status, int(ExitSuccess));
        QCOMPARE(run.err,
                 QByteArray("Exported 2 readings and 1 gap of 1 file to standard output.\n"));
        const QList<QByteArray> rows = run.out.split('\n');
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[1], QByteArray("2010-03-01T05:30:00Z,03/01/2010 00:00:00,17,Lab 2,1,4,,0\r"));
    }

    void severalFilesIntoOneFile() {
        ChartFileHarness h;
        ExportChart other = TwoWithGap();
        other.unit = "18";
        other.first = At(2010, 7, 1, 0, 0, 0);
        SaveExportChart(h, "a.csv", TwoWithGap());
        SaveExportChart(h, "b.csv", other);
        const CliResult run = RunCliIn(h.dir, {"export", "a.zlx", "b.zlx", "--format", "influx",
                                               "--out", "all.lp", "--time-zone", "Europe/Berlin"});
        QCOMPARE(run.status, int(ExitSuccess));
        QCOMPARE(run.lastErrLine(),
                 QByteArray("Exported 4 readings of 2 files to all.lp (2 gaps left out)."));
        const QList<QByteArray> lines = h.dir.read("all.lp").split('\n');
        QCOMPARE(lines.size(), 5);
        // Winter time for the March file, summer time for the July file.
        QCOMPARE(lines[0], QByteArray("zantrel,channel=1,location=Lab\\ 2,unit=17 celsius=4 "
                                      "1267398000000000000"));
        QCOMPARE(lines[2], QByteArray("zantrel,channel=1,location=Lab\\ 2,unit=18 celsius=4 "
                                      "1277935200000000000"));
    }

    void usageErrorsAndFailures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("no format")
            << QStringList{"run.zlx", "--out", "x.csv"} << int(ExitUsage)
            << QByteArray("zantrel-cli export: give the form with --format csv, influx or xlsx.");
        QTest::newRow("unknown format")
            << QStringList{"run.zlx", "--format", "json", "--out", "x.csv"} << int(ExitUsage)
            << QByteArray("zantrel-cli export: --format must be csv, influx or xlsx, not 'json'.");
        QTest::newRow("no out") << QStringList{"run.zlx", "--format", "csv"} << int(ExitUsage)
                                << QByteArray("zantrel-cli export: give the file to write with "
                                              "--out PATH (\"-\" for standard output).");
        QTest::newRow("xlsx to stdout")
            << QStringList{"run.zlx", "--format", "xlsx", "--out", "-"} << int(ExitUsage)
            << QByteArray("zantrel-cli export: an xlsx workbook cannot go to standard output; "
                          "give a file.");
        QTest::newRow("bad zone")
            << QStringList{"run.zlx", "--format",    "csv",      "--out",
                           "x.csv",   "--time-zone", "Mars/Base"}
            << int(ExitUsage)
            << QByteArray("zantrel-cli export: --time-zone must name a time zone such as "
                          "Europe/Berlin, not 'Mars/Base'.");
        QTest::newRow("missing file")
            << QStringList{"run.zlx", "gone.zlx", "--format", "csv", "--out", "x.csv"}
            << int(ExitJobFailed)
            << QByteArray(
                   "gone.zlx: Cannot open file. No such file or directory.\nNothing exported.");
        QTest::newRow("unwritable out")
            << QStringList{"run.zlx", "--format", "xlsx", "--out", "run.zlx/x.xlsx"}
            << int(ExitJobFailed) << QByteArray("Nothing exported.");
    }
    void usageErrorsAndFailures() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        ChartFileHarness h;
        SaveExportChart(h, "run.csv", TwoWithGap());
        const CliResult run = RunCliIn(h.dir, QStringList{"export"} + arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(said), run.err);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!h.dir.exists("x.csv"));
    }
};

QTEST_GUILESS_MAIN(CliExportTest)
#include "cli_export_test.moc"
