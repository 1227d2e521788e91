// zantrel-cli auto run as a program of its own against zantrel-sim, in real time: a retried
// block in a download of both channels and a restart right after a kill.
#include "sim_process.h"
#include "work_dir.h"

#include <QtTest>

using namespace zantrel;

namespace {

// The data rows of the month's chart file of a channel.
qsizetype Rows(const WorkDir& dir, int channel) {
    const QByteArray content = dir.read("T" + QString::number(channel) + "202603site.csv");
    qsizetype rows = 0;
    for (const QByteArray& line : OutputLines(content))
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
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        const QByteArrayList lines = OutputLines(cli.readAllStandardError());
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
                 lines.join('\n').constData());
        QVERIFY(lines.contains("DATA ERROR - RETRY (1) IN PROCESS..."));
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QCOMPARE(Rows(dir, 1), 30);
        QCOMPARE(Rows(dir, 2), 30);
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
        const QByteArrayList lines = OutputLines(cli.readAllStandardError());
        QVERIFY2(cli.exitCode() == 0, lines.join('\n').constData());
        QCOMPARE(lines.last(), QByteArray("File saved."));
        QCOMPARE(Rows(dir, 1), 300);
    }
};

QTEST_GUILESS_MAIN(AutoSessionProcessTest)
#include "auto_session_process_test.moc"
