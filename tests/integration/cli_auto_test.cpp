// zantrel-cli auto in-process against the simulated logger over a pseudo-terminal, on virtual
// time: the monthly files it leaves, what the logger received, texts and exit statuses.
#include "cli_logger_run.h"
#include "event_wait.h"
#include "port_link.h"
#include "sim/logger_simulator.h"

#include <QJsonArray>
#include <QtTest>
#include <algorithm>
#include <memory>

using namespace zantrel;

namespace {

sim::LoggerConfig Logger(int readings) {
    sim::LoggerConfig config;
    for (auto& channel : config.channels) {
        channel.readingCount = readings;
        channel.storagePeriodSeconds = 900;
        channel.firstReading = sim::wallTime(2026, 3, 30, 8, 7, 30);
    }
    config.channels[1].seed = 5;
    return config;
}

// Runs of the tool's auto command, and what the logger and the duplicates hold.
class AutoRun : public CliLoggerRun {
  public:
    using CliLoggerRun::CliLoggerRun;
    int once(const QStringList& more = {}) {
        return run(QStringList{"auto", "--port", "$PORT", "--file", "site.csv", "--once"} + more);
    }

    // Every reading time the duplicates hold, as "load --json" reads them back.
    QStringList loadedTimes(const QStringList& duplicates) {
        QStringList times;
        for (const QString& name : duplicates) {
            const CliResult load = RunCliIn(dir(), {"load", dir().file(name), "--json"}, &clock());
            if (load.status != 0) return {name + " does not load"};
            for (const QJsonValue& reading : load.json()["readings"].toArray())
                times.append(reading.toObject()["time"].toString());
        }
        return times;
    }
    QStringList loggerTimes(int channel = 1) {
        QStringList times;
        for (const auto& r : logger().channel(channel).readings())
            times.append(r.time.toString("yyyy-MM-ddTHH:mm:ss"));
        return times;
    }
    qsizetype blockRequests() const {
        const QByteArrayList bytes = commands();
        return std::count_if(bytes.begin(), bytes.end(),
                             [](const QByteArray& b) { return b.startsWith("001"); });
    }
};

// The status texts of a run, without the alerts its readings raise after them.
QByteArrayList StatusLines(const CliResult& result) {
    QByteArrayList lines;
    for (const QByteArray& line : result.errLines())
        if (!line.startsWith("ALERT: ")) lines.append(line);
    return lines;
}

} // namespace

class CliAutoTest : public QObject {
    Q_OBJECT
  private slots:
    // Three runs of a growing logger: the monthly files, the duplicate continued by each run,
    // holding every reading once.
    void threeRunsKeepEveryReading() {
        AutoRun r(Logger(7));
        QCOMPARE(r.once(), 0);
        QCOMPARE(StatusLines(r.last()).last(), QByteArray("File saved."));
        QVERIFY(r.last().out.isEmpty());
        for (int readings : {10, 14}) {
            r.replace(Logger(readings));
            QCOMPARE(r.once(), 0);
        }
        QVERIFY(!r.dir().exists("USERINFO.DAT"));
        QCOMPARE(r.loadedTimes({"T1202603site.zlx"}), r.loggerTimes());
        QVERIFY(!r.dir().exists("T1202603site_0.zxl"));
        QVERIFY(!r.dir().exists("T2202603site.csv"));
    }

    // Both channels, a block of the first retried once.
    void bothChannels() {
        sim::LoggerConfig config = Logger(9);
        config.faults.badChecksum = {0, 1};
        AutoRun r(config);
        QCOMPARE(r.once({"--channels", "1,2", "--every", "24h"}), 0);
        QVERIFY(r.last().errLines().contains("DATA ERROR - RETRY (1) IN PROCESS..."));
        QCOMPARE(StatusLines(r.last()).last(), QByteArray("File saved."));
        QCOMPARE(r.loadedTimes({"T1202603site.zlx"}), r.loggerTimes(1));
        QCOMPARE(r.loadedTimes({"T2202603site.zlx"}), r.loggerTimes(2));
        // Channel 1's fast session was ended before channel 2 began.
        const QByteArrayList commands = r.commands();
        QCOMPARE(commands[commands.lastIndexOf("?") - 1], QByteArray("BD00000000"));
    }

    void failedDownloadFailsTheRun() {
        sim::LoggerConfig config = Logger(7);
        config.faults.close = {0, 10};
        AutoRun r(config);
        QCOMPARE(r.once(), 1);
        QVERIFY(!r.dir().exists("T1202603site.csv"));
        QVERIFY(!r.dir().exists("T1202603site.zlx"));
    }

    // Without --once: "Next Auto Download:" after each download, until a signal.
    void runsUntilInterrupted() {
        AutoRun r(Logger(7));
        InterruptRequest interrupt;
        InterruptWhen(interrupt, [&r] { return r.dir().exists("T1202603site.zlx"); });
        QCOMPARE(
            r.run({"auto", "--port", "$PORT", "--file", "site.csv", "--every", "4h"}, &interrupt),
            0);
        QVERIFY(r.last().out.startsWith("Next Auto Download: "));
        QCOMPARE(r.loadedTimes({"T1202603site.zlx"}), r.loggerTimes());
    }

    // A failed download tells when the next one is due; a signal before then ends the run
    // without an error.
    void failedDownloadThenInterrupt() {
        sim::LoggerConfig config = Logger(7);
        config.faults.badChecksum = {0, 4};
        AutoRun r(config);
        InterruptRequest interrupt;
        const double giveUp = r.clock().steadySeconds() + 3600; // a guard against a hang
        double cancelledBy = 0;
        InterruptWhen(interrupt, [&] {
            if (r.blockRequests() == 4 && cancelledBy == 0)
                cancelledBy = r.clock().steadySeconds() + 30;
            return (cancelledBy > 0 && r.clock().steadySeconds() > cancelledBy) ||
                   r.clock().steadySeconds() > giveUp;
        });
        QCOMPARE(r.run({"auto", "--port", "$PORT", "--file", "site.csv"}, &interrupt), 0);
        QVERIFY(r.last().errLines().contains(
            "UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT."));
        QVERIFY(r.last().out.startsWith("Next Auto Download: "));
        QCOMPARE(r.last().out.count('\n'), 1);
        QVERIFY(!r.dir().exists("T1202603site.csv"));
    }

    // The logger vanishes mid-download and comes back under the same device name (a link
    // re-pointed to a new pseudo-terminal): the port is tried again and the download runs.
    void lostMidDownloadAndBackOnTheSamePath() {
        sim::LoggerConfig vanishing = Logger(30);
        vanishing.faults.close = {0, 10};
        AutoRun r(vanishing);
        PortLink link(r.dir().file("logger"), r.logger().devicePath());
        InterruptRequest interrupt;
        const double giveUp = r.clock().steadySeconds() + 3600; // a guard against a hang
        InterruptWhen(interrupt, [&] {
            if (r.logger().vanished()) {
                r.replace(Logger(30));
                link.point(r.logger().devicePath());
            }
            return r.dir().exists("T1202603site.zlx") || r.clock().steadySeconds() > giveUp;
        });
        QCOMPARE(r.run({"auto", "--port", QString::fromLocal8Bit(link.port()), "--file", "site.csv",
                        "--every", "4h"},
                       &interrupt),
                 0);
        const QByteArrayList lines = r.last().errLines();
        const auto lost = std::find_if(lines.begin(), lines.end(), [](const QByteArray& l) {
            return l.startsWith("SERIAL PORT LOST.");
        });
        QVERIFY(lost != lines.end());
        QVERIFY2(lost->contains("trying the port again"), lost->constData());
        QVERIFY(!lines.contains("UPLOAD ABORTED BY USER"));
        QVERIFY(r.last().out.startsWith("Next Auto Download: "));
        QCOMPARE(r.loadedTimes({"T1202603site.zlx"}), r.loggerTimes());
    }

    // A signal during a download aborts it as "Abort Upload" does; nothing is written.
    void interruptDuringDownload() {
        sim::LoggerConfig config = Logger(3000);
        config.paced = true; // at the wire's speed: the download is still running
        AutoRun r(config);
        InterruptRequest interrupt;
        InterruptWhen(interrupt, [&r] {
            for (const QByteArray& command : r.commands())
                if (command.startsWith("001")) return true;
            return false;
        });
        QCOMPARE(r.run({"auto", "--port", "$PORT", "--file", "site.csv"}, &interrupt), 1);
        QVERIFY(r.last().errLines().contains("zantrel-cli: interrupted."));
        QCOMPARE(r.last().errLines().last(), QByteArray("UPLOAD ABORTED BY USER"));
        // The logger reads what was sent on a thread of its own.
        QVERIFY(WaitForEvents([&r] { return r.commands().contains("BD00000000"); }, 5000));
        QCOMPARE(r.commands().last(), QByteArray("BD00000000"));
        QVERIFY(!r.dir().exists("T1202603site.csv"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no file") << QStringList{"auto", "--port", "COM1"};
        QTest::newRow("interval") << QStringList{"auto",  "--port",  "COM1", "--file",
                                                 "a.csv", "--every", "2h"};
        QTest::newRow("channels") << QStringList{"auto",  "--port",     "COM1", "--file",
                                                 "a.csv", "--channels", "3"};
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        WorkDir dir;
        QCOMPARE(RunCliIn(dir, arguments).status, 2);
    }
};

QTEST_GUILESS_MAIN(CliAutoTest)
#include "cli_auto_test.moc"
