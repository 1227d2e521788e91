// --help and --version of the three programs, run as installed users run them: without a
// display (the window's manual page is made from them at build time, on a machine with none).
#include "zantrel_version.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

namespace {

constexpr int kHangGuardMs = 60000;

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Finished RunWithoutDisplay(const QString& program, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(kHangGuardMs)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class UsageProcessTest : public QObject {
    Q_OBJECT

  private slots:
    // A version is the whole output; a help text is checked by its first line.
    void answersWithoutADisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<bool>("whole");
        const QByteArray version = " " ZANTREL_VERSION "\n";
        QTest::newRow("window version")
            << ZANTREL_WINDOW_BINARY << QStringList{"--version"} << "zantrel" + version << true;
        QTest::newRow("window help, chart file first")
            << ZANTREL_WINDOW_BINARY << QStringList{"chart.zlx", "--help"}
            << QByteArray("Usage: zantrel [--simulate] [CHART-FILE]\n") << false;
        QTest::newRow("window -h, simulated")
            << ZANTREL_WINDOW_BINARY << QStringList{"--simulate", "-h"}
            << QByteArray("Usage: zantrel ") << false;
        QTest::newRow("cli version")
            << ZANTREL_CLI_BINARY << QStringList{"--version"} << "zantrel-cli" + version << true;
        QTest::newRow("cli help") << ZANTREL_CLI_BINARY << QStringList{"--help"}
                                  << QByteArray("Usage: zantrel-cli ") << false;
        QTest::newRow("sim version")
            << ZANTREL_SIM_BINARY << QStringList{"--version"} << "zantrel-sim" + version << true;
        QTest::newRow("sim help") << ZANTREL_SIM_BINARY << QStringList{"--help"}
                                  << QByteArray("Usage: ") << false;
    }
    void answersWithoutADisplay() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, start);
        QFETCH(bool, whole);
        const Finished run = RunWithoutDisplay(program, arguments);
        QCOMPARE(run.status, 0);
        if (whole) QCOMPARE(run.out, start);
        QVERIFY2(run.out.startsWith(start), run.out.constData());
        QCOMPARE(run.err, QByteArray());
    }
};

QTEST_GUILESS_MAIN(UsageProcessTest)
#include "usage_process_test.moc"
