// zantrel-cli auto run as a program of its own against zantrel-sim: what is printed after a
// failed download and on a signal, between downloads and during one.
#include "sim_process.h"
#include "work_dir.h"

#include <QtTest>
#include <csignal>

using namespace zantrel;

class AutoSignalProcessTest : public QObject {
    Q_OBJECT
  private slots:
    // A failed download tells when the next one is due; a signal between downloads ends the
    // program without announcing another.
    void failedDownloadThenSignal() {
        SimProcess sim({"--readings", "30", "--bad-checksum", "0:4"});
        QVERIFY(!sim.device().isEmpty());
        WorkDir dir;
        QProcess cli;
        StartAuto(cli, dir, sim, {});
        QVERIFY(WaitForEvents([&] { return cli.canReadLine(); }, kProcessHangGuardMs));
        QVERIFY(cli.readLine().startsWith("Next Auto Download: "));
        QCOMPARE(::kill(pid_t(cli.processId()), SIGTERM), 0);
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        const QByteArrayList lines = OutputLines(cli.readAllStandardError());
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
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(OutputLines(cli.readAllStandardError()).last(),
                 QByteArray("UPLOAD ABORTED BY USER"));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(AutoSignalProcessTest)
#include "auto_signal_process_test.moc"
