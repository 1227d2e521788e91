// zantrel-cli run as a program of its own against the simulated logger on a pseudo-terminal:
// the exit status, the status texts on standard error, Ctrl+C and file names as bytes.
// Usage errors and failures are covered in-process (cli_usage_test, cli_upload_test).
#include "sim/logger_simulator.h"
#include "sim_process.h"

#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zantrel;

namespace {

constexpr const char* kMissingPort = "/dev/zantrel-no-such-port";

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
    return {"upload", "--port", logger.devicePath() + ":19200", "--out", "chart.csv"};
}

bool AnyStartsWith(const QByteArrayList& lines, const QByteArray& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QByteArray& line) { return line.startsWith(prefix); });
}

// Runs the tool with arguments passed as the bytes they are (QProcess would re-encode them),
// standard error to a file in dir and standard output to the descriptor given, or to a file
// there; the exit status, or -1.
int RunWithByteArguments(const WorkDir& dir, const QByteArrayList& arguments, int out = -1) {
    std::vector<QByteArray> storage = {QByteArray(ZANTREL_CLI_BINARY)};
    for (const QByteArray& a : arguments)
        storage.push_back(a);
    std::vector<char*> argv;
    for (QByteArray& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.path().constData()) != 0) ::_exit(126);
        if (out < 0) out = ::open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

} // namespace

class CliProcessTest : public QObject {
    Q_OBJECT
  private slots:
    // At the normal speed: the fast session and its end are left to the in-process tests.
    void uploadSavesBothFiles() {
        sim::LoggerSimulator logger(Logger(200, false));
        QVERIFY(logger.start());
        WorkDir dir;
        // A stored port that cannot be opened: --port stands in for it without reading it.
        const QByteArray stored = QByteArray(kMissingPort) + "\r\n";
        dir.put("COMPORT.DAT", stored);
        QProcess cli;
        Start(cli, dir, Upload(logger));
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        const QByteArrayList lines = OutputLines(cli.readAllStandardError());
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
                 lines.join('\n').constData());
        QVERIFY(lines.contains("REQUESTING HEADER INFO...PLEASE WAIT..."));
        QCOMPARE(lines.mid(lines.size() - 3),
                 (QByteArrayList{"DATA LOADED", "File saved.",
                                 "Data file and encrypted duplicate (*.zlx) saved."}));
        QVERIFY(!AnyStartsWith(lines, "Problem") && !AnyStartsWith(lines, "zantrel-cli"));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        QVERIFY(QFileInfo(dir.file("chart.csv")).size() > 0);
        QVERIFY(QFileInfo(dir.file("chart.zlx")).size() > 0);
        QCOMPARE(dir.read("COMPORT.DAT"), stored);
    }

    void ctrlCAbortsTheUpload() {
        // Two blocks at the wire speed: the transfer is still running when Ctrl+C comes.
        sim::LoggerSimulator logger(Logger(3000, true));
        QVERIFY(logger.start());
        WorkDir dir;
        QProcess cli;
        Start(cli, dir, Upload(logger));
        QVERIFY(logger.waitForCommands(2, kProcessHangGuardMs));
        QCOMPARE(logger.commands()[1].kind, sim::CommandKind::BlockRequest);
        QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
        QVERIFY(cli.waitForFinished(kProcessHangGuardMs));
        const QByteArrayList lines = OutputLines(cli.readAllStandardError());
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit, "ended by the signal");
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(lines.contains("UPLOAD ABORTED BY USER"), lines.join('\n').constData());
        QVERIFY(!lines.contains("DATA LOADED"));
        QVERIFY(!dir.exists("chart.csv"));
        QVERIFY(!dir.exists("chart.zlx"));
    }

    void outputThatCannotBeWrittenFailsTheJob_data() {
        QTest::addColumn<bool>("closedPipe");
        QTest::newRow("a full device") << false;
        QTest::newRow("a closed pipe") << true;
    }

    void outputThatCannotBeWrittenFailsTheJob() {
        QFETCH(bool, closedPipe);
        WorkDir dir;
        QVERIFY(QFile::copy(ZANTREL_TEST_DATA "/charts/small_chart.zlx", dir.file("chart.zlx")));
        int out = -1;
        int pipeEnds[2] = {-1, -1};
        if (closedPipe) {
            QCOMPARE(::pipe(pipeEnds), 0);
            ::close(pipeEnds[0]); // nobody will ever read
            out = pipeEnds[1];
        } else {
            out = ::open("/dev/full", O_WRONLY);
        }
        QVERIFY(out >= 0);
        const int status = RunWithByteArguments(dir, {"load", "chart.zlx", "--json"}, out);
        ::close(out);
        QCOMPARE(status, 1);
        QVERIFY(dir.read("stderr.txt")
                    .contains("zantrel-cli: cannot write to standard output; the output is "
                              "incomplete.\n"));
    }

    // File names are bytes: one that is not UTF-8 is written and read under exactly its name.
    void fileNamesThatAreNotUtf8() {
        WorkDir dir;
        QVERIFY(QFile::copy(ZANTREL_TEST_DATA "/charts/small_chart.zlx", dir.file("chart.zlx")));
        const QByteArray name = "caf\xE9 \xFF\x80";
        QCOMPARE(RunWithByteArguments(dir, {"convert", "chart.zlx", "--out", name + ".csv"}), 0);
        QCOMPARE(NamesIn(dir), (QByteArrayList{"caf\xE9 \xFF\x80.csv", "caf\xE9 \xFF\x80.zlx",
                                               "chart.zlx", "stderr.txt", "stdout.txt"}));
        QCOMPARE(RunWithByteArguments(dir, {"load", name + ".zlx"}), 0);
        QVERIFY(dir.read("stderr.txt").endsWith("\nFile loaded.\n"));
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
        const bool writing = WaitForEvents(
            [&] {
                QFile f(syscall);
                return f.open(QIODevice::ReadOnly) && f.readAll().startsWith(blocked.toLatin1());
            },
            kProcessHangGuardMs);
        QVERIFY(writing);
        QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
        const bool finished = cli.waitForFinished(kProcessHangGuardMs);
        ::close(reader);
        QVERIFY(finished);
        QCOMPARE(cli.exitStatus(), QProcess::CrashExit);
    }
};

QTEST_GUILESS_MAIN(CliProcessTest)
#include "cli_process_test.moc"
