// zantrel-cli auto and the monthly files it shares with other programs: two of them on one
// --file, a --file that is not UTF-8, and a folder that cannot take the readings.
#include "cli_result.h"
#include "file_size_limit.h"
#include "sim/logger_simulator.h"
#include "sim_process.h"

#include <QProcess>
#include <QtTest>

using namespace zantrel;

namespace {

sim::LoggerConfig Logger() {
    sim::LoggerConfig config;
    for (auto& channel : config.channels)
        channel.readingCount = 20;
    return config;
}

// The logger's port, kept at the normal speed: these tests are about files, not speeds.
QString Port(const sim::LoggerSimulator& logger) {
    return logger.devicePath() + kNormalSpeedTail;
}

QStringList Auto(const sim::LoggerSimulator& logger, const QString& file) {
    return {"auto", "--port", Port(logger), "--file", file};
}

} // namespace

class AutoFilesProcessTest : public QObject {
    Q_OBJECT
  private slots:
    // The second program on the same monthly files names the one that holds them.
    void aSecondAutoOnTheSameFileIsRefused() {
        sim::LoggerSimulator first(Logger()), second(Logger());
        QVERIFY(first.start());
        QVERIFY(second.start());
        WorkDir dir;
        QProcess holder;
        holder.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
        holder.start(ZANTREL_CLI_BINARY, Auto(first, "site.csv"));
        QByteArray out;
        while (!out.contains("Next Auto Download:") && holder.waitForReadyRead(kProcessHangGuardMs))
            out += holder.readAllStandardOutput();
        QVERIFY2(out.contains("Next Auto Download:"), holder.readAllStandardError().constData());

        QProcess late;
        late.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
        late.start(ZANTREL_CLI_BINARY, Auto(second, "site.csv") << "--once");
        QVERIFY(late.waitForFinished(kProcessHangGuardMs));
        const QByteArray err = late.readAllStandardError();
        QCOMPARE(late.exitCode(), 1);
        QVERIFY2(err.contains("process " + QByteArray::number(holder.processId())),
                 err.constData());
        QVERIFY(second.commands().empty()); // refused before the logger was asked anything

        holder.terminate();
        QVERIFY(holder.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(holder.exitCode(), 0);
    }

    // The monthly names keep every byte of --file, as upload --out does.
    void aNonUtf8FileNameKeepsItsBytes() {
        sim::LoggerSimulator logger(Logger());
        QVERIFY(logger.start());
        WorkDir dir;
        QProcess cli;
        cli.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
        // Through the shell, so that the byte reaches the program as it is.
        cli.start("/bin/sh",
                  {"-c", R"sh(exec "$0" auto --port "$1" --file "$(printf 's\351te')" --once)sh",
                   ZANTREL_CLI_BINARY, Port(logger)});
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray names = NamesIn(dir).join('/') + '/';
        QVERIFY(names.contains("s\xe9te.csv/"));
        QVERIFY(names.contains("s\xe9te.zlx/"));
        QVERIFY(!names.contains("s\xef\xbf\xbdte.csv"));
    }

    // A folder that cannot take a file is found before the logger is asked anything.
    void aFolderThatCannotTakeTheFilesIsFoundFirst() {
        sim::LoggerSimulator logger(Logger());
        QVERIFY(logger.start());
        WorkDir dir;
        CliResult run;
        {
            FileSizeLimit full(16);
            run = RunCliIn(dir, Auto(logger, "site.csv") << "--once");
        }
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("File too large"), run.err.constData());
        QVERIFY(logger.commands().empty());
    }

    // Another program's file under the month's name: left as it is, the run fails saying why.
    void aForeignMonthlyFileFailsTheRun() {
        sim::LoggerConfig config = Logger();
        config.channels[0].firstReading = sim::wallTime(2026, 3, 30, 8, 7, 30);
        config.channels[0].storagePeriodSeconds = 900;
        sim::LoggerSimulator logger(config);
        QVERIFY(logger.start());
        WorkDir dir;
        TestClock clock;
        clock.setNow(sim::dayCount(config.channels[0].firstReading) + (20 * 900 + 60) / 86400.0);
        const QByteArray foreign = "name,value\r\nx,1\r\n";
        dir.put("T1202603site.csv", foreign);
        const CliResult run = RunCliIn(dir, Auto(logger, "site.csv") << "--once", &clock);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("T1202603site.csv is not a chart file"), run.err.constData());
        QCOMPARE(dir.read("T1202603site.csv"), foreign);
        QVERIFY(!dir.exists("T1202603site.zlx"));
    }

    // Usage errors name the option as it is spelt.
    void usageErrorsNameTheFileOption() {
        WorkDir dir;
        const CliResult run =
            RunCliIn(dir, {"auto", "--port", "COM1", "--file", "missing/site.csv", "--once"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("--file names a folder"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(AutoFilesProcessTest)
#include "auto_files_process_test.moc"
