// The command-line tool's help and usage errors: exit statuses, which stream each text goes
// to, and that a usage error neither starts the engine nor opens the port nor writes a file.
#include "cli_result.h"

#include <QtTest>

using namespace zantrel;

namespace {

// A port that names no device: opening it shows a problem.
constexpr const char* kNoPort = "/dev/zantrel-no-such-port";

QStringList Upload(const QStringList& extra) {
    return QStringList{"upload", "--port", kNoPort, "--out", "chart.csv"} + extra;
}

} // namespace

class CliUsageTest : public QObject {
    Q_OBJECT

  private slots:
    void help() {
        WorkDir dir;
        const CliResult program = RunCliIn(dir, {"--help"});
        QCOMPARE(program.status, ExitSuccess);
        QVERIFY(program.out.startsWith("Usage: zantrel-cli"));
        for (const char* command : {"upload", "load", "convert"}) {
            QVERIFY2(program.out.contains(QByteArray("\n  ") + command + " "), command);
            const CliResult run = RunCliIn(dir, {command, "--help"});
            QCOMPARE(run.status, ExitSuccess);
            QVERIFY2(run.out.startsWith(QByteArray("Usage: zantrel-cli ") + command), run.out);
            QCOMPARE(run.err, QByteArray());
        }
    }

    void programUsageErrors() {
        WorkDir dir;
        const CliResult none = RunCliIn(dir, {});
        QCOMPARE(none.status, ExitUsage);
        QCOMPARE(none.out, QByteArray());
        QVERIFY(none.err.startsWith("Usage: zantrel-cli"));
        // Not taken for "load" either.
        const CliResult unknown = RunCliIn(dir, {"loader", "--help"});
        QCOMPARE(unknown.status, ExitUsage);
        QCOMPARE(unknown.out, QByteArray());
        QCOMPARE(unknown.err,
                 "zantrel-cli: unknown command 'loader'.\nTry 'zantrel-cli --help'.\n");
    }

    void commandUsageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no port") << QStringList{"upload", "--out", "c.csv"} << QByteArray("--port");
        QTest::newRow("no out") << QStringList{"upload", "--port", kNoPort} << QByteArray("--out");
        QTest::newRow("channel 3") << Upload({"--channel", "3"}) << QByteArray("'3'");
        QTest::newRow("range") << Upload({"--range", "bogus"}) << QByteArray("'bogus'");
        QTest::newRow("start") << Upload({"--start", "2010-01-01 00:00:00"})
                               << QByteArray("'2010-01-01 00:00:00'");
        QTest::newRow("no such end")
            << Upload({"--end", "13/32/10 00:00:00"}) << QByteArray("'13/32/10 00:00:00'");
        QTest::newRow("start, range all")
            << Upload({"--start", "01/01/10 00:00:00", "--range", "all"})
            << QByteArray("--range custom");
        QTest::newRow("date format") << Upload({"--date-format", "bogus"}) << QByteArray("'bogus'");
        QTest::newRow("unknown option") << Upload({"--speed", "9600"}) << QByteArray("speed");
        QTest::newRow("stray argument") << Upload({"extra"}) << QByteArray("'extra'");
        QTest::newRow("a speed the line cannot run")
            << QStringList{"upload", "--port", "/dev/ttyUSB0:12345", "--out", "c.csv"}
            << QByteArray("the speed after the colon");
        QTest::newRow("load nothing") << QStringList{"load", "--json"} << QByteArray("one");
        QTest::newRow("convert, no out") << QStringList{"convert", "a.zlx"} << QByteArray("--out");
        // Chart files that could not be written are refused before any upload or load.
        QTest::newRow("upload to .zlx") << Upload({"--out", "c.zlx"}) << QByteArray(".zlx");
        QTest::newRow("convert to .ZLX")
            << QStringList{"convert", "a.zlx", "--out", "c.ZLX"} << QByteArray(".zlx");
        QTest::newRow("no such folder")
            << QStringList{"convert", "a.zlx", "--out", "nodir/c.csv"} << QByteArray("folder");
    }
    void commandUsageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        WorkDir dir;
        const CliResult run = RunCliIn(dir, arguments);
        const QByteArray command = arguments.first().toLatin1();
        QCOMPARE(run.status, ExitUsage);
        QCOMPARE(run.out, QByteArray());
        // One line saying what is wrong, one pointing to the help, nothing from the engine.
        const QByteArrayList lines = run.err.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith("zantrel-cli " + command + ": "), lines[0]);
        QVERIFY2(lines[0].contains(message), lines[0]);
        QCOMPARE(lines[1], "Try 'zantrel-cli " + command + " --help'.");
        QVERIFY(
            QDir(dir.file(".")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // Forms that are no usage error go on to open the port, which is missing here.
    void acceptedForms() {
        for (const QStringList& extra :
             {QStringList{"--date-format", "ddmmyy"},
              {"--date-format", "dd/mm/yyyy hh:mm:ss"},
              {"--start", "12/31/09 23:59:30", "--end", "01/01/10 00:00:00"}}) {
            WorkDir dir;
            const CliResult run = RunCliIn(dir, Upload(extra));
            QCOMPARE(run.status, ExitJobFailed);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.contains("Problem: Cannot open serial port: " + QByteArray(kNoPort)),
                     run.err);
            QVERIFY(!dir.exists("chart.csv"));
        }
    }
};

QTEST_GUILESS_MAIN(CliUsageTest)
#include "cli_usage_test.moc"
