// zantrel-cli upload in-process against the simulated logger over a pseudo-terminal, on
// virtual time: the files it writes, what the logger received, the texts and exit statuses.
#include "cli_logger_run.h"
#include "core/user_info.h"
#include "file_size_limit.h"
#include "sim/logger_simulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace zantrel;

namespace {

constexpr int kPeriod = 900;

sim::LoggerConfig Logger(int readings, sim::ChannelKind kind = sim::ChannelKind::TemperatureRh) {
    sim::LoggerConfig config;
    for (auto& channel : config.channels) {
        channel.kind = kind;
        channel.readingCount = readings;
        channel.storagePeriodSeconds = kPeriod;
        channel.firstReading = sim::wallTime(2009, 12, 30, 8, 0, 0);
    }
    config.channels[1].kind = sim::ChannelKind::Temperature;
    return config;
}

// Uploads by the tool into chart.csv unless told otherwise.
class CliRun : public CliLoggerRun {
  public:
    using CliLoggerRun::CliLoggerRun;
    int upload(const QStringList& more = {}) {
        return run(QStringList{"upload", "--port", "$PORT", "--out", "chart.csv"} + more);
    }
    bool noChartWritten() { return !dir().exists("chart.csv") && !dir().exists("chart.zlx"); }
};

// How many lines start with the prefix.
qsizetype CountStarting(const QByteArrayList& lines, const char* prefix) {
    return std::count_if(lines.begin(), lines.end(),
                         [prefix](const QByteArray& l) { return l.startsWith(prefix); });
}

QByteArray IsoTime(const QDateTime& t) {
    return t.toString("yyyy-MM-ddTHH:mm:ss").toLatin1();
}

// The duplicate, loaded back by the tool, holds every reading the logger stored.
void ExpectDuplicateHoldsChannel(CliRun& r, int channel) {
    QCOMPARE(r.run({"load", r.dir().file("chart.zlx"), "--json"}), 0);
    const QJsonObject chart = r.last().json();
    const QJsonArray readings = chart["readings"].toArray();
    const auto& stored = r.logger().channel(channel).readings();
    QCOMPARE(readings.size(), qsizetype(stored.size()));
    const bool rh = r.logger().channel(channel).hasHumidity();
    QCOMPARE(chart["rh"].toBool(), rh);
    for (size_t i = 0; i < stored.size(); ++i) {
        const QJsonObject reading = readings[qsizetype(i)].toObject();
        QCOMPARE(reading["time"].toString().toLatin1(), IsoTime(stored[i].time));
        const double celsius = reading["celsius"].toDouble();
        if (stored[i].gap) {
            QCOMPARE(celsius, 9999.0);
            continue;
        }
        QVERIFY2(std::abs(celsius - stored[i].celsius) < 0.006, qPrintable(QString::number(i)));
        // A temperature-only logger's rows store humidity 0.
        QCOMPARE(reading["rh"].toDouble(), rh ? stored[i].humidity : 0.0);
    }
}

} // namespace

class CliUploadTest : public QObject {
    Q_OBJECT
  private slots:
    // The upload and the save the window would do, with the settings files left as they were.
    void savesChartAndDuplicate() {
        sim::LoggerConfig config = Logger(300);
        config.channels[0].gaps = {7};
        config.channels[0].events = {{5, sim::EventCode::TempAlarmStart}};
        CliRun r(config);
        // Stored by an earlier version: kept as it is, not rewritten.
        const QByteArray userInfo =
            ComposeUserInformation("Ann", "Lab 2", "17", "Zantrel(tm) - Version 5.0");
        r.dir().put("USERINFO.DAT", userInfo);
        r.dir().put("COMPORT.DAT", "/dev/zantrel-no-such-port");
        r.dir().put("DATEFMT.DAT", "dd/mm/yyyy hh:mm:ss");

        QCOMPARE(r.upload(), 0);
        const QByteArrayList lines = r.errLines();
        QCOMPARE(lines.first(), QByteArray("Initializing..."));
        QVERIFY(lines.contains("REQUESTING HEADER INFO...PLEASE WAIT..."));
        QVERIFY(lines.contains("Attempting 57600 baud rate..."));
        QCOMPARE(lines.mid(lines.size() - 3),
                 (QByteArrayList{"DATA LOADED", "File saved.",
                                 "Data file and encrypted duplicate (*.zlx) saved."}));
        QVERIFY(r.last().out.isEmpty());
        // The fast session was ended before the tool returned (the simulator may still be
        // reading the bytes).
        QVERIFY(r.logger().waitForCommands(4, 5000));
        QCOMPARE(r.commands().last(), QByteArray("BD00000000"));
        QCOMPARE(r.dir().read("COMPORT.DAT"), QByteArray("/dev/zantrel-no-such-port"));
        QCOMPARE(r.dir().read("USERINFO.DAT"), userInfo);
        QCOMPARE(r.dir().read("DATEFMT.DAT"), QByteArray("dd/mm/yyyy hh:mm:ss"));

        const QByteArray chart = r.dir().read("chart.csv");
        QVERIFY(chart.startsWith("~Date Format: dd/mm/yyyy hh:mm:ss\r\n"));
        QVERIFY(chart.contains("~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"));
        ExpectDuplicateHoldsChannel(r, 1);
    }

    // --date-format is used for this run only; channel 2 of this logger has no humidity.
    void channelAndDateFormat() {
        CliRun r(Logger(120));
        QCOMPARE(r.upload({"--channel", "2", "--date-format", "yyyymmddc"}), 0);
        QVERIFY(r.dir().read("chart.csv").startsWith("~Date Format: yyyy/mm/dd, hh:mm:ss\r\n"));
        QVERIFY(!r.dir().exists("DATEFMT.DAT"));
        // Answering the verification leaves the stored user information alone: none here.
        QVERIFY(!r.dir().exists("USERINFO.DAT"));
        QVERIFY(r.commands()[2].startsWith("002"));
        ExpectDuplicateHoldsChannel(r, 2);
    }

    void customRange() {
        CliRun r(Logger(300));
        // Readings every 15 minutes from 30 Dec 2009 08:00: 10:00 to 12:00 holds nine, and so
        // does 10:00 to 12:14:59.
        QCOMPARE(r.upload({"--start", "12/30/09 10:00:00", "--end", "12/30/09 12:14:59"}), 0);
        QCOMPARE(r.commands()[2], QByteArray("001123009100000000009"));
        // Without bounds a custom range runs from the oldest to the newest reading.
        QCOMPARE(r.upload({"--range", "custom"}), 0);
        QCOMPARE(r.commands().mid(4)[2], QByteArray("001123009080000000300"));
    }

    // Where the window would wait for its user, the tool ends the upload after the watchdog's
    // time, and says so: a byte did arrive, the wrong one, and no user aborted anything.
    void refusedSpeedSwitchIsEndedByTheTool() {
        sim::LoggerConfig config = Logger(100);
        config.faults.speedAck = 'x';
        CliRun r(config);
        QCOMPARE(r.upload(), 1);
        QCOMPARE(r.errLines().mid(r.errLines().size() - 2),
                 (QByteArrayList{"Attempting 57600 baud rate...",
                                 "zantrel-cli: the logger did not answer as expected for 20 "
                                 "seconds; zantrel-cli ended the upload."}));
        QVERIFY(!r.errLines().contains("UPLOAD ABORTED BY USER"));
        QVERIFY(r.noChartWritten());
    }

    void failuresEndWithTheirTexts_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QByteArray>("last");
        QTest::newRow("silent") << 0 << QByteArray("SERIAL COMMUNICATION TIMED OUT.");
        QTest::newRow("corrupt") << 1
                                 << QByteArray("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL "
                                               "PORT TIMEOUT.");
        QTest::newRow("vanished") << 2
                                  << QByteArray("SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect "
                                                "the logger: trying the port again every 5 "
                                                "seconds.");
    }
    void failuresEndWithTheirTexts() {
        QFETCH(int, fault);
        QFETCH(QByteArray, last);
        sim::LoggerConfig config = Logger(100);
        if (fault == 0) config.faults.silence.step = sim::SilenceStep::HeaderRequest;
        if (fault == 1) config.faults.badChecksum = {0, 10};
        if (fault == 2) config.faults.close = {0, 40};
        CliRun r(config);
        QCOMPARE(r.upload(), 1);
        QCOMPARE(r.errLines().last(), last);
        QVERIFY(r.noChartWritten());
    }

    // A signal during the fast session aborts the upload, ends the session and writes nothing.
    void interruptEndsTheFastSession() {
        sim::LoggerConfig config = Logger(600);
        config.paced = true; // at the wire's speed: the transfer is still running
        CliRun r(config);
        InterruptRequest interrupt;
        InterruptWhen(interrupt, [&r] { return r.commands().size() >= 3; });
        QCOMPARE(r.run({"upload", "--port", "$PORT", "--out", "chart.csv"}, &interrupt), 1);
        QVERIFY(r.commands()[2].startsWith("001"));
        QVERIFY(r.errLines().contains("UPLOAD ABORTED BY USER"));
        QVERIFY(!r.errLines().contains("DATA LOADED"));
        QVERIFY(r.logger().waitForCommands(4, 5000));
        QCOMPARE(r.commands().last(), QByteArray("BD00000000"));
        QVERIFY(r.noChartWritten());
    }

    void portThatCannotBeOpened() {
        CliRun r(Logger(10));
        QCOMPARE(r.run({"upload", "--port", "/dev/zantrel-no-such-port", "--out", "chart.csv"}), 1);
        QCOMPARE(CountStarting(r.errLines(), "Problem: "), 1);
        QVERIFY(!r.errLines().contains("REQUESTING HEADER INFO...PLEASE WAIT..."));
        // The reason comes last, not the reset's "Initializing...".
        QCOMPARE(r.errLines().last(),
                 QByteArray("zantrel-cli: the port /dev/zantrel-no-such-port is not open. The "
                            "device does not exist or is not connected."));
        QCOMPARE(r.run({"upload", "--port", "NA", "--out", "chart.csv"}), 1);
        QCOMPARE(r.errLines().last(), QByteArray("zantrel-cli: the port NA is not open."));
        QVERIFY(r.noChartWritten());
        QVERIFY(r.commands().isEmpty());
    }

    // Exit 0 needs both files: a disk that fills after the chart file fails the job, and
    // neither file is put in place.
    void saveFailuresFailTheJob() {
        CliRun r(Logger(200));
        QCOMPARE(r.upload({"--out", "first.csv"}), 0);
        const qint64 chartSize = QFileInfo(r.dir().file("first.csv")).size();
        QVERIFY(QFileInfo(r.dir().file("first.zlx")).size() > chartSize + 64);
        {
            FileSizeLimit disk(chartSize + 64);
            QCOMPARE(r.upload(), 1);
        }
        QVERIFY(!r.errLines().contains("File saved."));
        QVERIFY(r.noChartWritten());
        QVERIFY(CountStarting(r.errLines(), "Problem: ") > 0);
        // The fallback places are as full.
        QCOMPARE(r.errLines().last(),
                 QByteArray("zantrel-cli: the readings could not be saved anywhere."));
        QCOMPARE(QDir(r.dir().file(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A folder that cannot take a file is found before the logger is asked for anything.
    void aFolderThatCannotTakeTheFilesIsRefusedFirst() {
        CliRun r(Logger(20));
        {
            FileSizeLimit full(0);
            QCOMPARE(r.upload(), 1);
        }
        QVERIFY(
            r.errLines().last().startsWith("zantrel-cli: cannot write in the folder of --out ("));
        QVERIFY(r.errLines().last().endsWith("); nothing was uploaded."));
        QVERIFY(r.commands().isEmpty());
        QVERIFY(QDir(r.dir().file("."))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // A save that fails after the upload keeps the readings under a name of their own.
    void readingsWhoseSaveFailsAreSavedElsewhere() {
        CliRun r(Logger(30));
        QVERIFY(QDir(r.dir().file(".")).mkdir("chart.zlx")); // the duplicate cannot be written
        QCOMPARE(r.upload(), 1);
        QVERIFY(!r.dir().exists("chart.csv"));
        const QStringList saved =
            QDir(r.dir().file(".")).entryList({"zantrel-upload-*.csv"}, QDir::Files);
        QCOMPARE(saved.size(), 1);
        const QString fallback = r.dir().file(saved[0]);
        QCOMPARE(r.errLines().last(),
                 "zantrel-cli: --out could not be saved; the readings were saved as " +
                     QFile::encodeName(fallback) + " and its duplicate instead.");
        QString duplicate = fallback;
        duplicate.replace(".csv", ".zlx");
        QCOMPARE(r.run({"load", duplicate, "--json"}), 0);
        QCOMPARE(r.last().json()["readings"].toArray().size(), 30);
    }
};

QTEST_GUILESS_MAIN(CliUploadTest)
#include "cli_upload_test.moc"
