// zantrel-cli auto's alerts against the simulated logger on virtual time: the "ALERT:" lines,
// ALERTS.DAT across runs, and the alert command that gets the alert, fails or hangs.
#include "cli_logger_run.h"

#include <QJsonArray>
#include <QtTest>
#include <tuple>

using namespace zantrel;

namespace {

// The fridge goes warm at the third reading and stays warm until the tenth.
const std::vector<double> kCelsius = {5, 5, 9, 9.5, 9, 9, 10, 9, 9, 5, 5, 5};

sim::LoggerConfig Logger(int readings) {
    sim::LoggerConfig config;
    auto& channel = config.channels[0];
    channel.readingCount = readings;
    channel.storagePeriodSeconds = 900;
    channel.firstReading = sim::wallTime(2026, 3, 30, 8, 0, 0);
    channel.celsius = kCelsius;
    channel.celsius.resize(readings);
    return config;
}

QByteArrayList AlertLines(const CliResult& result) {
    QByteArrayList lines;
    for (const QByteArray& line : result.errLines())
        if (line.startsWith("ALERT")) lines.append(line);
    return lines;
}

const QByteArray kWarm = "ALERT: Channel 1 of logger 17 (Lab 2) above 8 C since 2026-03-30 "
                         "08:30:00, peak 9.5 C, 1.00 h outside.";

class AlertRun : public CliLoggerRun {
  public:
    explicit AlertRun(const sim::LoggerConfig& config) : CliLoggerRun(config) {
        dir().put("USERINFO.DAT", "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                                  "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n");
    }
    int once(const QStringList& more = {}) {
        return run(QStringList{"auto", "--port", "$PORT", "--file", "site.csv", "--once", "--low",
                               "2", "--high", "8", "--delay", "30"} +
                   more);
    }
};

} // namespace

class CliAutoAlertsTest : public QObject {
    Q_OBJECT
  private slots:
    // Warm at the end of the first run, back inside in the second: one alert, its end once,
    // both kept in ALERTS.DAT; a third run says nothing new.
    void excursionAcrossRuns() {
        AlertRun r(Logger(6));
        QCOMPARE(r.once(), 0);
        QCOMPARE(AlertLines(r.last()), QByteArrayList{kWarm});
        r.replace(Logger(12));
        QCOMPARE(r.once(), 0);
        QVERIFY(r.last().errLines().contains("Alerts not acknowledged: 1 (" + r.dir().path() +
                                             "/ALERTS.DAT)."));
        QCOMPARE(AlertLines(r.last()),
                 QByteArrayList{"ALERT: Channel 1 of logger 17 (Lab 2) back inside since "
                                "2026-03-30 10:15:00 after 1.75 h above 8 C, peak 10 C."});
        QCOMPARE(r.dir().read("ALERTS.DAT").count("\r\n"), 2);
        QCOMPARE(r.once(), 0);
        QCOMPARE(AlertLines(r.last()), QByteArrayList{});
    }

    // The logger's own alarm start is an alert; STATS.DAT's band holds without --low/--high.
    void alarmStartWithTheStoredBand() {
        sim::LoggerConfig config = Logger(6);
        config.channels[0].events = {{3, sim::EventCode::TempAlarmStart}};
        AlertRun r(config);
        r.dir().put("STATS.DAT", "~Low Limit C: 0\r\n~High Limit C: 20\r\n");
        QCOMPARE(r.run({"auto", "--port", "$PORT", "--file", "site.csv", "--once"}), 0);
        QCOMPARE(AlertLines(r.last()),
                 QByteArrayList{"ALERT: Temperature alarm on channel 1 of logger 17 (Lab 2) at "
                                "2026-03-30 08:45:00."});
    }

    // STATS.DAT's delay holds without --delay: an hour outside is an excursion of 45 minutes
    // but not of 90; --delay overrides it.
    void storedDelay() {
        for (const auto& [stored, more, alerts] :
             {std::tuple{"45", QStringList{}, QByteArrayList{kWarm}},
              std::tuple{"90", QStringList{}, QByteArrayList{}},
              std::tuple{"90", QStringList{"--delay", "30"}, QByteArrayList{kWarm}}}) {
            AlertRun r(Logger(6));
            r.dir().put("STATS.DAT", QByteArray("~Low Limit C: 2\r\n~High Limit C: 8\r\n"
                                                "~Excursion Delay min: ") +
                                         stored + "\r\n");
            QCOMPARE(r.run(QStringList{"auto", "--port", "$PORT", "--file", "site.csv", "--once"} +
                           more),
                     0);
            QCOMPARE(AlertLines(r.last()), alerts);
        }
    }

    // The command gets the alert as JSON on its standard input and its text in ZANTREL_ALERT.
    void commandGetsTheAlert() {
        AlertRun r(Logger(6));
        const QString json = r.dir().file("alert.json"), text = r.dir().file("alert.txt");
        QCOMPARE(r.once({"--alert-command",
                         "cat > '" + json + "'; printf %s \"$ZANTREL_ALERT\" > '" + text + "'"}),
                 0);
        QCOMPARE("ALERT: " + r.dir().read("alert.txt"), kWarm);
        const QJsonObject alert = QJsonDocument::fromJson(r.dir().read("alert.json")).object();
        QCOMPARE(alert["kind"].toString(), "excursion");
        QCOMPARE(alert["unit"].toString(), "17");
        QCOMPARE(alert["location"].toString(), "Lab 2");
        QCOMPARE(alert["channel"].toInt(), 1);
        QCOMPARE(alert["start"].toString(), "2026-03-30T08:30:00");
        QVERIFY(alert["end"].isNull());
        QCOMPARE(alert["peak"].toDouble(), 9.5);
        QCOMPARE(alert["hours"].toDouble(), 1.0);
        QCOMPARE(alert["limits"].toObject()["high"].toDouble(), 8.0);
        QCOMPARE("ALERT: " + alert["text"].toString().toLatin1(), kWarm);
    }

    // A command that fails or hangs is said; the download stands and the run succeeds.
    void failingAndHangingCommands() {
        for (const auto& [command, said] :
             {std::pair{"exit 3", "ALERT COMMAND FAILED: exit status 3."},
              std::pair{"sleep 120", "ALERT COMMAND FAILED: killed after 30 s."}}) {
            AlertRun r(Logger(6));
            QCOMPARE(r.once({"--alert-command", command}), 0);
            QCOMPARE(AlertLines(r.last()), (QByteArrayList{kWarm, said}));
            QVERIFY(r.dir().exists("T1202603site.zlx"));
        }
    }

    // A line of ALERTS.DAT that does not read is said, kept, and costs no alert.
    void unreadableLineSaid() {
        AlertRun r(Logger(6));
        r.dir().put("ALERTS.DAT", "{\"kind\": \r\n");
        QCOMPARE(r.once(), 0);
        QVERIFY(r.last().errLines().contains(
            r.dir().path() +
            "/ALERTS.DAT: 1 lines do not read as alerts; they are skipped and left in the file."));
        QCOMPARE(AlertLines(r.last()), QByteArrayList{kWarm});
        QVERIFY(r.dir().read("ALERTS.DAT").startsWith("{\"kind\": \r\n{"));
    }

    // A record of downloads that does not read is said and replaced; one that cannot be
    // written is said after the download, which stands.
    void downloadRecordSaid() {
        AlertRun r(Logger(6));
        r.dir().put("DOWNLOADS.DAT", "not json\r\n");
        QCOMPARE(r.once(), 0);
        QVERIFY(r.last().errLines().contains(
            r.dir().path() +
            "/DOWNLOADS.DAT does not read as a record of downloads; downloads are counted from "
            "now."));
        QVERIFY(r.dir().read("DOWNLOADS.DAT").startsWith("{\"failed\":[{\"first\":null"));

        AlertRun unwritable(Logger(6));
        QVERIFY(QDir(unwritable.dir().file(".")).mkdir("DOWNLOADS.DAT"));
        QCOMPARE(unwritable.once(), 0);
        QCOMPARE(AlertLines(unwritable.last()), QByteArrayList{kWarm});
        QVERIFY(unwritable.last().err.contains("DOWNLOAD RECORD NOT KEPT: Cannot write " +
                                               unwritable.dir().path() + "/DOWNLOADS.DAT: "));
        QVERIFY(unwritable.dir().exists("T1202603site.zlx"));
    }

    void badBand() {
        AlertRun r(Logger(6));
        QCOMPARE(r.once({"--delay", "-5"}), 2);
        QVERIFY(r.last().err.contains("--delay must be a number of minutes, 0 or more"));
        QVERIFY(!r.dir().exists("ALERTS.DAT"));
    }
};

QTEST_GUILESS_MAIN(CliAutoAlertsTest)
#include "cli_auto_alerts_test.moc"
