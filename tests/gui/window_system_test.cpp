// The window program on a virtual display, seen through the window system as a user sees it:
// the captions the window system is given, and a menu reached from the keyboard.
#include "work_dir.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

using namespace zantrel;

namespace {

constexpr int kPatienceMs = 30000;

// Whether an X client can talk to the display.
bool Answers(const QString& name) {
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", name);
    probe.setProcessEnvironment(env);
    probe.start("xprop", {"-root", "_NET_SUPPORTED"});
    return probe.waitForFinished(kPatienceMs) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

// A virtual X display for the life of the object; a server no client can reach is replaced.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        for (int attempt = 0; attempt < 3 && name_.isEmpty(); ++attempt) {
            const QString name = start();
            if (!name.isEmpty() && Answers(name))
                name_ = name;
            else
                stop();
        }
    }
    ~VirtualDisplay() { stop(); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    const QString& name() const { return name_; }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", name_);
        env.insert("QT_QPA_PLATFORM", "xcb");
        return env;
    }

  private:
    // Starts a server on a display number picked at random, far from the ones other servers
    // take first, so that one stopping nearby cannot remove this one's socket; its name, or ""
    // when it did not start (the number was taken). It never resets when its last client
    // leaves: a reset refuses the client that comes next.
    QString start() {
        const QString number = QString::number(100 + QRandomGenerator::global()->bounded(30000));
        server_.start("Xvfb", {":" + number, "-displayfd", "1", "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp", "-noreset"});
        if (!server_.waitForStarted(kPatienceMs)) return {};
        // The server writes its display number once it accepts clients.
        while (!server_.canReadLine() && server_.waitForReadyRead(kPatienceMs)) {
        }
        return server_.readLine().trimmed() == number.toLatin1() ? ":" + number : QString();
    }
    void stop() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(kPatienceMs)) server_.kill();
        server_.waitForFinished(kPatienceMs);
    }

    QProcess server_;
    QString name_;
};

// Runs an X tool on the display; its standard output, or nothing when it failed.
QByteArray RunTool(const VirtualDisplay& display, const QString& tool, const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(display.environment());
    process.start(tool, args);
    if (!process.waitForFinished(kPatienceMs) || process.exitCode() != 0) return {};
    return process.readAllStandardOutput();
}

// The visible windows of a process, by X window id.
QStringList VisibleWindows(const VirtualDisplay& display, qint64 pid) {
    const QByteArray ids =
        RunTool(display, "xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
    return QString::fromLatin1(ids).split('\n', Qt::SkipEmptyParts);
}

// A window's name as the window system holds it, in both properties a window manager may
// read ("WM_NAME" and "_NET_WM_NAME"), as "old|new"; "" for a window without a name.
QString WindowName(const VirtualDisplay& display, const QString& id) {
    const QString out =
        QString::fromUtf8(RunTool(display, "xprop", {"-id", id, "WM_NAME", "_NET_WM_NAME"}));
    QStringList names;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype quote = line.indexOf('"');
        if (quote > 0 && line.endsWith('"')) names << line.mid(quote + 1, line.size() - quote - 2);
    }
    return names.size() == 2 ? names.join('|') : QString();
}

// The names of the process' visible windows that have one.
QStringList WindowNames(const VirtualDisplay& display, qint64 pid) {
    QStringList names;
    for (const QString& id : VisibleWindows(display, pid))
        if (const QString name = WindowName(display, id); !name.isEmpty()) names << name;
    names.sort();
    return names;
}

// The visible window of the process with that name.
QString WindowNamed(const VirtualDisplay& display, qint64 pid, const QString& name) {
    for (const QString& id : VisibleWindows(display, pid))
        if (WindowName(display, id) == name + '|' + name) return id;
    return {};
}

// Gives the window the keyboard and types the keys (xdotool key names) into it.
void Type(const VirtualDisplay& display, const QString& window, const QStringList& keys) {
    RunTool(display, "xdotool", {"windowfocus", "--sync", window});
    for (const QString& key : keys)
        RunTool(display, "xdotool", {"key", key});
}

} // namespace

class WindowSystemTest : public QObject {
    Q_OBJECT
  private slots:
    void captionsReadExactlyAsDesigned() {
        for (const char* tool : {"Xvfb", "xdotool", "xprop"})
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     "needs Xvfb, xdotool and xprop (scripts/setup.sh installs them)");
        VirtualDisplay display;
        QVERIFY(!display.name().isEmpty());

        // A stored port that does not exist: "Problem" opens before the main window.
        WorkDir dir;
        dir.put("COMPORT.DAT", "/dev/zantrel-no-such-port");
        QProcess program;
        program.setProcessEnvironment(display.environment());
        program.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(ZANTREL_BINARY, {});
        QVERIFY(program.waitForStarted(kPatienceMs));
        const qint64 pid = program.processId();
        // Waits for exactly these named windows; a program that ends instead fails at once
        // with what it printed.
        const auto shows = [&](const QStringList& expected) {
            QTRY_VERIFY_WITH_TIMEOUT(program.state() != QProcess::Running ||
                                         WindowNames(display, pid) == expected,
                                     kPatienceMs);
            QVERIFY2(program.state() == QProcess::Running,
                     qPrintable("the window program ended: " +
                                QString::fromLocal8Bit(program.readAll())));
            QCOMPARE(WindowNames(display, pid), expected);
        };

        shows({"Problem|Problem"});
        if (QTest::currentTestFailed()) return;
        Type(display, WindowNamed(display, pid, "Problem"), {"Return"});
        const QString main = "Zantrel(tm) - Version 5.2.1";
        shows({main + '|' + main});
        if (QTest::currentTestFailed()) return;

        // Alt+S opens Setup, P its port item.
        Type(display, WindowNamed(display, pid, main), {"alt+s", "p"});
        shows({"Select Port|Select Port", main + '|' + main});
        if (QTest::currentTestFailed()) return;

        program.terminate();
        if (!program.waitForFinished(kPatienceMs)) program.kill();
    }
};

QTEST_GUILESS_MAIN(WindowSystemTest)
#include "window_system_test.moc"
