// The line protocol export as InfluxDB takes it: a server of the test's own in a temporary
// folder is given the export of two files, one with escaped tags, and queried back.
#include "cli_result.h"
#include "export_charts.h"

#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace zantrel;

namespace {

// An influxd on a local port of the system's choice with its data in a folder of its own, stopped
// at the end.
class InfluxServer {
  public:
    bool start(const QString& program) {
        const QString d = dir_.path();
        QFile config(d + "/influxdb.conf");
        config.open(QIODevice::WriteOnly);
        config.write(QString("reporting-disabled = true\n"
                             "bind-address = \"127.0.0.1:0\"\n"
                             "[meta]\n  dir = \"%1/meta\"\n"
                             "[data]\n  dir = \"%1/data\"\n  wal-dir = \"%1/wal\"\n"
                             "  query-log-enabled = false\n"
                             "[http]\n  bind-address = \"127.0.0.1:0\"\n  log-enabled = false\n"
                             "[monitor]\n  store-enabled = false\n"
                             "[continuous_queries]\n  enabled = false\n")
                         .arg(d)
                         .toUtf8());
        config.close();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program, {"-config", config.fileName()});
        // The log names the port it listens on.
        const QRegularExpression listening("Listening on HTTP.* addr=127\\.0\\.0\\.1:(\\d+)");
        QString log;
        QRegularExpressionMatch match;
        while (!(match = listening.match(log)).hasMatch() && process_.waitForReadyRead(10000))
            log += QString::fromUtf8(process_.readAll());
        if (!match.hasMatch()) {
            qWarning() << "influxd did not start:" << log;
            return false;
        }
        port_ = match.captured(1);
        return true;
    }
    ~InfluxServer() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
    }

    // What curl got for a request to the HTTP API: the status line's code and the body.
    QByteArray request(const QStringList& arguments) const {
        QProcess curl;
        curl.start("curl", QStringList{"-s", "-w", "\n%{http_code}"} + arguments);
        curl.waitForFinished(10000);
        return curl.readAllStandardOutput();
    }
    QString url(const QString& path) const {
        return QString("http://127.0.0.1:%1%2").arg(port_, path);
    }

  private:
    QTemporaryDir dir_;
    QProcess process_;
    QString port_;
};

} // namespace

class InfluxAcceptTest : public QObject {
    Q_OBJECT

  private slots:
    void serverTakesTheExport() {
        const QString influxd = QStandardPaths::findExecutable("influxd");
        if (influxd.isEmpty()) QSKIP("influxd is not installed (scripts/setup.sh installs it)");
        ChartFileHarness h;
        ExportChart awkward;
        awkward.unit = "ZL=7, \"B\"";
        awkward.location = "Cold room, shelf 2";
        awkward.celsius = {4.5f, NoReading, -1.25f};
        awkward.rh = {40, 50, 61};
        ExportChart plain;
        plain.celsius = {20};
        SaveExportChart(h, "a.csv", awkward);
        SaveExportChart(h, "b.csv", plain);
        const CliResult run = RunCliIn(h.dir, {"export", "a.zlx", "b.zlx", "--format", "influx",
                                               "--out", "all.lp", "--utc-offset", "+01:00"});
        QCOMPARE(run.status, int(ExitSuccess));

        InfluxServer server;
        QVERIFY(server.start(influxd));
        QVERIFY(server
                    .request(
                        {"-XPOST", server.url("/query"), "--data-urlencode", "q=CREATE DATABASE t"})
                    .endsWith("\n200"));
        QCOMPARE(server.request({"-XPOST", server.url("/write?db=t"), "--data-binary",
                                 "@" + h.dir.file("all.lp")}),
                 QByteArray("\n204"));
        QByteArray answer = server.request(
            {"-G", server.url("/query"), "--data-urlencode", "db=t", "--data-urlencode", "epoch=ns",
             "--data-urlencode",
             "q=SELECT celsius, rh, unit, location, channel FROM zantrel ORDER BY time"});
        QVERIFY2(answer.endsWith("\n200"), answer);
        answer.chop(4);
        const QJsonArray rows =
            QJsonDocument::fromJson(answer)["results"][0]["series"][0]["values"].toArray();
        // Both first readings are at the same time: the series tell them apart by their tags.
        QCOMPARE(rows.size(), 3);
        const QJsonArray first =
            rows[0].toArray()[3].toString() == "17" ? rows[1].toArray() : rows[0].toArray();
        QCOMPARE(first[0].toDouble(), 1267398000000000000.0);
        QCOMPARE(first[1].toDouble(), 4.5);
        QCOMPARE(first[2].toDouble(), 40.0);
        QCOMPARE(first[3].toString(), "ZL=7, \"B\"");
        QCOMPARE(first[4].toString(), "Cold room, shelf 2");
        QCOMPARE(first[5].toString(), "1");
        const QJsonArray last = rows[2].toArray();
        QCOMPARE(last[0].toDouble(), 1267398030000000000.0);
        QCOMPARE(last[1].toDouble(), -1.25);
        QCOMPARE(last[2].toDouble(), 61.0);
    }
};

QTEST_GUILESS_MAIN(InfluxAcceptTest)
#include "influx_accept_test.moc"
