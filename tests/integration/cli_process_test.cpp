// zantrel-cli run as a program of its own against the simulated logger on a pseudo-terminal:
// the exit status, the status texts on standard error, the end of the fast session and Ctrl+C.
// Usage errors and failures are covered in-process (cli_usage_test, cli_upload_test).
#include "sim/logger_simulator.h"
#include "work_dir.h"

#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace zantrel;

namespace {

// Only a guard against a hanging program: every wait normally ends far sooner.
constexpr int kHangGuardMs = 60000;
constexpr const char* kMissingPort = "/dev/zantrel-no-such-port";
constexpr const char* kEndFastSession = "BD00000000";

sim::LoggerConfig Logger(int readings, bool paced) {
    sim::LoggerConfig config;
    for (auto& channel : config.channels) {
        channel.kind = sim::ChannelKind::TemperatureRh;
        channel.readingCount = readings;
    }
    config.paced = paced;
    return config;
}

void Start(QProcess& cli, const WorkDir& dir, const QStringList& arguments) {
    cli.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
    cli.start(ZANTREL_CLI_BINARY, arguments);
}

QStringList Upload(const sim::LoggerSimulator& logger) {
    return {"upload", "--port", logger.devicePath(), "--out", "chart.csv"};
}

QByteArrayList ErrorLines(QProcess& cli) {
    QByteArrayList lines = cli.readAllStandardError().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool AnyStartsWith(const QByteArrayList& lines, const QByteArray& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QByteArray& line) { return line.startsWith(prefix); });
}

// The command the logger received last, once the program's last bytes were read.
QByteArray LastCommand(const sim::LoggerSimulator& logger, int count) {
    if (!logger.waitForCommands(count, kHangGuardMs)) return {};
    return logger.commands().back().bytes;
}

} // namespace

class CliProcessTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadSavesBothFilesAndEndsTheFastSession() {
        sim::LoggerSimulator logger(Logger(200, false));
        QVERIFY(logger.start());
        WorkDir dir;
        // A stored port that cannot be opened: --port stands in for it without reading it.
        const QByteArray stored = QByteArray(kMissingPort) + "\r\n";
        dir.put("COMPORT.DAT", stored);
        QProcess cli;
        Start(cli, dir, Upload(logger));
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        const QByteArrayList lines = ErrorLines(cli);
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
                 lines.join('\n').constData());
        QVERIFY(lines.contains("REQUESTING HEADER INFO...PLEASE WAIT..."));
        QCOMPARE(lines.mid(lines.size() - 3),
                 (QByteArrayList{"DATA LOADED", "File saved.",
                                 "Data file and encrypted duplicate (*.zlx) saved."}));
        QVERIFY(!AnyStartsWith(lines, "Problem") && !AnyStartsWith(lines, "zantrel-cli"));
        QVERIFY(QFileInfo(dir.file("chart.csv")).size() > 0);
        QVERIFY(QFileInfo(dir.file("chart.zlx")).size() > 0);
        QCOMPARE(dir.read("COMPORT.DAT"), stored);
        // The header, the speed switch, one block and the end of the fast session.
        QCOMPARE(LastCommand(logger, 4), QByteArray(kEndFastSession));
        QCOMPARE(logger.commands().size(), size_t(4));
        QCOMPARE(logger.commands()[2].kind, sim::CommandKind::BlockRequest);
    }

    void ctrlCAbortsTheUploadAndEndsTheFastSession() {
        // Two blocks at the wire speed: the transfer is still running when Ctrl+C comes.
        sim::LoggerSimulator logger(Logger(3000, true));
        QVERIFY(logger.start());
        WorkDir dir;
        QProcess cli;
        Start(cli, dir, Upload(logger));
        QVERIFY(logger.waitForCommands(3, kHangGuardMs));
        QCOMPARE(logger.commands()[2].kind, sim::CommandKind::BlockRequest);
        QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
        QVERIFY(cli.waitForFinished(kHangGuardMs));
        const QByteArrayList lines = ErrorLines(cli);
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit, "ended by the signal");
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(lines.contains("UPLOAD ABORTED BY USER"), lines.join('\n').constData());
        QVERIFY(!lines.contains("DATA LOADED"));
        QCOMPARE(LastCommand(logger, 4), QByteArray(kEndFastSession));
        QVERIFY(!dir.exists("chart.csv"));
        QVERIFY(!dir.exists("chart.zlx"));
    }

    void ctrlCOutsideAnUploadEndsTheProgram() {
        // Standard error is a full pipe, so the program blocks on its first line of help.
        WorkDir dir;
        const QString fifo = dir.file("stderr");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(reader >= 0);
        const char byte = 'x';
        while (::write(reader, &byte, 1) == 1) {
        }
        QProcess cli;
        cli.setStandardErrorFile(fifo);
        Start(cli, dir, {});
        const QString blocked = QString("%1 0x2 ").arg(SYS_write);
        const QString syscall = QString("/proc/%1/syscall").arg(cli.processId());
        const bool writing = QTest::qWaitFor(
            [&] {
                QFile f(syscall);
                return f.open(QIODevice::ReadOnly) && f.readAll().startsWith(blocked.toLatin1());
            },
            kHangGuardMs);
        QVERIFY(writing);
        QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
        const bool finished = cli.waitForFinished(kHangGuardMs);
        ::close(reader);
        QVERIFY(finished);
        QCOMPARE(cli.exitStatus(), QProcess::CrashExit);
    }
};

QTEST_GUILESS_MAIN(CliProcessTest)
#include "cli_process_test.moc"
