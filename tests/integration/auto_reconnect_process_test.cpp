// zantrel-cli auto run as a program of its own while its logger vanishes mid-download and comes
// back under the same device name (a link re-pointed to a new pseudo-terminal): it says the
// port is lost and tried again, then downloads as soon as the logger is back.
#include "event_wait.h"
#include "port_link.h"
#include "sim/logger_simulator.h"
#include "sim_process.h"
#include "work_dir.h"

#include <QProcess>
#include <QtTest>
#include <csignal>

using namespace zantrel;

namespace {

sim::LoggerConfig Logger() {
    sim::LoggerConfig config;
    for (auto& channel : config.channels) {
        channel.readingCount = 30;
        channel.storagePeriodSeconds = 900;
        channel.firstReading = QDateTime::currentDateTime().addDays(-1);
    }
    return config;
}

} // namespace

class AutoReconnectProcessTest : public QObject {
    Q_OBJECT
  private slots:
    void lostMidDownloadAndBackOnTheSamePath() {
        WorkDir dir;
        sim::LoggerConfig vanishing = Logger();
        vanishing.faults.close = {0, 10};
        sim::LoggerSimulator first(vanishing);
        QVERIFY(first.start());
        PortLink link(dir.file("logger"), first.devicePath());

        QProcess cli;
        cli.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
        cli.start(ZANTREL_CLI_BINARY,
                  {"auto", "--port", QString::fromLocal8Bit(link.port()) + kNormalSpeedTail,
                   "--file", "site.csv", "--every", "4h"});
        QVERIFY(cli.waitForStarted(kProcessHangGuardMs));
        QVERIFY(WaitForEvents([&] { return first.vanished(); }, kProcessHangGuardMs));
        QByteArray err;
        QVERIFY(WaitForEvents(
            [&] {
                err += cli.readAllStandardError();
                return err.contains("SERIAL PORT LOST.");
            },
            kProcessHangGuardMs));

        sim::LoggerSimulator back(Logger());
        QVERIFY(back.start());
        link.point(back.devicePath());
        QVERIFY(WaitForEvents([&] { return back.waitForCommands(1, 10); }, kProcessHangGuardMs));
        QVERIFY(WaitForEvents(
            [&] {
                err += cli.readAllStandardError();
                return err.contains("File saved.");
            },
            kProcessHangGuardMs));
        QCOMPARE(::kill(pid_t(cli.processId()), SIGTERM), 0);
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        err += cli.readAllStandardError();
        QCOMPARE(cli.exitCode(), 0);

        const QByteArrayList lines = err.split('\n');
        const auto lost = std::find_if(lines.begin(), lines.end(), [](const QByteArray& l) {
            return l.startsWith("SERIAL PORT LOST.");
        });
        QVERIFY(lost != lines.end());
        QVERIFY2(lost->contains("trying the port again"), lost->constData());
        QVERIFY2(!err.contains("UPLOAD ABORTED BY USER"), err.constData());
        const QByteArray out = cli.readAllStandardOutput();
        QVERIFY2(out.startsWith("Next Auto Download: "), out.constData());
        QVERIFY(
            dir.exists(QDateTime::currentDateTime().toString("'T1'yyyyMM'site.zlx'")) ||
            dir.exists(QDateTime::currentDateTime().addDays(-1).toString("'T1'yyyyMM'site.zlx'")));
        back.stop();
        first.stop();
    }
};

QTEST_GUILESS_MAIN(AutoReconnectProcessTest)
#include "auto_reconnect_process_test.moc"
