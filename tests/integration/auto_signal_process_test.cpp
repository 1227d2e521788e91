// zantrel-cli auto run as a program of its own against zantrel-sim: what is printed on a
// signal, between downloads and during one, and a restart right after a kill.
#include "sim_process.h"
#include "work_dir.h"

#include <QtTest>
#include <csignal>

using namespace zantrel;

namespace {

// The data rows of the month's chart file of channel 1.
qsizetype Rows(const WorkDir& dir) {
    const QByteArray content = dir.read("T1202603site.csv");
    qsizetype rows = 0;
    for (const QByteArray& line : OutputLines(content))
        if (!line.startsWith('~')) ++rows;
    return rows;
}

// The status texts of a run, without the alerts its readings raise after them.
QByteArrayList StatusLines(const QByteArray& err) {
    QByteArrayList lines;
    for (const QByteArray& line : OutputLines(err))
        if (!line.startsWith("ALERT: ")) lines.append(line);
    return lines;
}

} // namespace

class AutoSignalProcessTest : public QObject {
    Q_OBJECT
  private slots:
    // A signal between downloads ends the program without announcing another.
    void signalBetweenDownloads() {
        SimProcess sim({"--readings", "30"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess cli;
        StartAuto(cli, dir, sim, {});
        QVERIFY(WaitForEvents([&] { return cli.canReadLine(); }, kProcessHangGuardMs));
        QVERIFY(cli.readLine().startsWith("Next Auto Download: "));
        QCOMPARE(::kill(pid_t(cli.processId()), SIGTERM), 0);
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        const QByteArrayList lines = StatusLines(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, lines.join('\n').constData());
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
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
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(OutputLines(cli.readAllStandardError()).last(),
                 QByteArray("UPLOAD ABORTED BY USER"));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
    }

    // Killed while the logger sends a block at the wire's pace; the next run succeeds at once.
    void restartRightAfterKill() {
        SimProcess sim({"--readings", "300", "--period", "30", "--paced"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess killed;
        StartAuto(killed, dir, sim, {"--once"});
        QVERIFY(sim.waitForReport("block request"));
        killed.kill();
        QVERIFY(killed.waitForFinished(kProcessHangGuardMs));

        QProcess cli;
        StartAuto(cli, dir, sim, {"--once"});
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        const QByteArrayList lines = StatusLines(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, lines.join('\n').constData());
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QCOMPARE(Rows(dir), 300);
    }
};

QTEST_GUILESS_MAIN(AutoSignalProcessTest)
#include "auto_signal_process_test.moc"
