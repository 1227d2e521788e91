// zantrel-cli auto run as a program of its own against zantrel-sim, in real time: a retried
// block in a download of both channels, a restart right after a kill, and what is printed after
// a failed download and on a signal.
#include "event_wait.h"
#include "work_dir.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <csignal>

using namespace zantrel;

namespace {

// Only a guard against a hanging program: every wait normally ends far sooner.
constexpr int kHangGuardMs = 60000;

// zantrel-sim with the options given, stopped at the end of the test.
class SimProcess {
  public:
    explicit SimProcess(const QStringList& options) {
        process_.start(ZANTREL_SIM_BINARY,
                       QStringList{"--verbose", "--first", "2026-03-30 08:07:30"} + options);
        if (process_.waitForReadyRead(kHangGuardMs))
            device_ = QString::fromLocal8Bit(process_.readLine().trimmed());
    }
    ~SimProcess() {
        process_.terminate();
        process_.waitForFinished(kHangGuardMs);
    }
    const QString& device() const { return device_; }
    // Waits until the simulator reported a command whose report holds text.
    bool waitForReport(const QByteArray& text) {
        return WaitForEvents(
            [&] {
                reports_ += process_.readAllStandardError();
                return reports_.contains(text);
            },
            kHangGuardMs);
    }

  private:
    QProcess process_;
    QString device_;
    QByteArray reports_;
};

void StartAuto(QProcess& cli, const WorkDir& dir, const SimProcess& sim, const QStringList& more) {
    cli.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
    cli.start(ZANTREL_CLI_BINARY,
              QStringList{"auto", "--port", sim.device(), "--file", "site.csv"} + more);
}

QByteArrayList Lines(const QByteArray& text) {
    QByteArrayList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The data rows of the month's chart file of a channel.
qsizetype Rows(const WorkDir& dir, int channel) {
    const QByteArray content = dir.read("T" + QString::number(channel) + "202603site.csv");
    qsizetype rows = 0;
    for (const QByteArray& line : Lines(content))
        if (!line.startsWith('~')) ++rows;
    return rows;
}

} // namespace

class AutoSessionProcessTest : public QObject {
    Q_OBJECT
  private slots:
    void retriedBlockInBothChannels() {
        SimProcess sim({"--readings", "30", "--bad-checksum", "0:1"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess cli;
        StartAuto(cli, dir, sim, {"--once", "--channels", "1,2"});
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        const QByteArrayList lines = Lines(cli.readAllStandardError());
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
                 lines.join('\n').constData());
        QVERIFY(lines.contains("DATA ERROR - RETRY (1) IN PROCESS..."));
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QCOMPARE(Rows(dir, 1), 30);
        QCOMPARE(Rows(dir, 2), 30);
    }

    // Killed while the logger sends a block at the wire's pace; the next run succeeds at once.
    void restartRightAfterKill() {
        SimProcess sim({"--readings", "3000", "--period", "30", "--paced"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess killed;
        StartAuto(killed, dir, sim, {"--once"});
        QVERIFY(sim.waitForReport("block request"));
        killed.kill();
        QVERIFY(killed.waitForFinished(kHangGuardMs));

        QProcess cli;
        StartAuto(cli, dir, sim, {"--once"});
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        const QByteArrayList lines = Lines(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, lines.join('\n').constData());
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QCOMPARE(Rows(dir, 1), 3000);
    }

    // A failed download tells when the next one is due; a signal between downloads ends the
    // program without announcing another.
    void failedDownloadThenSignal() {
        SimProcess sim({"--readings", "30", "--bad-checksum", "0:4"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess cli;
        StartAuto(cli, dir, sim, {});
        QVERIFY(WaitForEvents([&] { return cli.canReadLine(); }, kHangGuardMs));
        QVERIFY(cli.readLine().startsWith("Next Auto Download: "));
        QCOMPARE(::kill(pid_t(cli.processId()), SIGTERM), 0);
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        const QByteArrayList lines = Lines(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, lines.join('\n').constData());
        QVERIFY(lines.contains("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT."));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        QVERIFY(!dir.exists("T1202603site.csv"));
    }

    // Interrupted during a download: aborted, and no next download is announced.
    void signalDuringDownload() {
        SimProcess sim({"--readings", "3000", "--paced"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess cli;
        StartAuto(cli, dir, sim, {});
        QVERIFY(sim.waitForReport("block request"));
        QCOMPARE(::kill(pid_t(cli.processId()), SIGTERM), 0);
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(Lines(cli.readAllStandardError()).last(), QByteArray("UPLOAD ABORTED BY USER"));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(AutoSessionProcessTest)
#include "auto_session_process_test.moc"
