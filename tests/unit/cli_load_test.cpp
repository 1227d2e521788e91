// zantrel-cli load and convert, run in-process on chart files: the JSON and the summary
// against the rows of the test chart, humidity stored or not, the failures and their texts,
// and the files convert writes or leaves alone.
#include "cli_result.h"
#include "core/state.h"
#include "core/user_info.h"
#include "files/chart_file_parse.h"
#include "files/scrambling.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <tuple>

using namespace zantrel;

namespace {

constexpr const char* kEventNames[] = {"new_sensor",     "temp_alarm_start", "rh_alarm_start",
                                       "temp_alarm_end", "rh_alarm_end",     "test_start",
                                       "test_end"};

QByteArray TestChart(const char* extension) {
    QFile file(QStringLiteral(ZANTREL_TEST_DATA "/charts/small_chart.") + extension);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The data rows of a chart file's text: the lines after the column header line.
QByteArrayList DataRows(const QByteArray& chart) {
    QByteArrayList lines = chart.mid(chart.indexOf("~DateTime")).split('\n');
    lines.removeFirst();
    lines.removeAll(QByteArray());
    return lines;
}

// "12/31/2009 23:59:30" as the JSON gives it.
QString IsoTime(const QByteArray& field) {
    return QString::fromLatin1(field.mid(6, 4) + '-' + field.left(2) + '-' + field.mid(3, 2) + 'T' +
                               field.mid(11, 8));
}

// The readings and events of the JSON match the rows of small_chart.csv.
void CompareWithRows(const CliResult& run, const QByteArrayList& rows) {
    const QJsonArray readings = run.json()["readings"].toArray();
    QCOMPARE(readings.size(), rows.size());
    QJsonObject events;
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArrayList f = rows[i].trimmed().split(',');
        const QJsonObject reading = readings[i].toObject();
        QCOMPARE(reading["time"].toString(), IsoTime(f[0]));
        QCOMPARE(float(reading["celsius"].toDouble()), f[1].toFloat());
        QCOMPARE(float(reading["rh"].toDouble()), f[4].toFloat());
        // Printed in the shortest form: a file's "20.50" as 20.5.
        const QByteArray text = "\"celsius\": " + QByteArray::number(f[1].toFloat()) +
                                ", \"rh\": " + QByteArray::number(f[4].toFloat()) + "}";
        QVERIFY2(run.out.contains(text), text);
        // Each count is that many events at the row's time.
        for (int kind = 0; kind < 7; ++kind) {
            QJsonArray list = events[kEventNames[kind]].toArray();
            for (int n = f[5 + kind].trimmed().toInt(); n > 0; --n)
                list.append(IsoTime(f[0]));
            events[kEventNames[kind]] = list;
        }
    }
    QCOMPARE(run.json()["events"].toObject(), events);
}

// A chart file of temperature-only rows, one every 30 seconds, in the date format
// "yyyy/mm/dd hh:mm:ss". Its user location, in Latin-1, stands only in the clear: scrambling
// keeps printable ASCII alone.
QByteArray TemperatureOnlyChart(const QByteArrayList& celsius) {
    QByteArrayList lines = {"~Date Format: yyyy/mm/dd hh:mm:ss"};
    for (int i = 0; i < celsius.size(); ++i)
        lines << "2009/12/31 23:5" + QByteArray::number(8 + i / 2) + ":" + (i % 2 ? "30" : "00") +
                     ", " + celsius[i];
    ScrambleState state;
    QByteArray chart = lines.first() + "\r\n~User Location: K\xfchlraum\r\n";
    for (const QByteArray& line : lines)
        chart += "?" + ScrambleLine(state, line) + "\r\n";
    return chart;
}

const QByteArray kUserName = "Ann \"Frosty\" \\ Jones";

// The folder's USERINFO.DAT, as the user-information dialog stores it.
QByteArray PutUserInformation(const WorkDir& dir) {
    const QByteArray info = ComposeUserInformation(kUserName, "Cold room", "17", kDesignedCaption);
    dir.put("USERINFO.DAT", info);
    return info;
}

// Each field of expected has its value in the JSON.
void CompareFields(const QJsonObject& json, const QJsonObject& expected) {
    for (auto field = expected.begin(); field != expected.end(); ++field)
        QCOMPARE(json[field.key()], field.value());
}

QStringList FolderEntries(const WorkDir& dir) {
    return QDir(dir.file(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class CliLoadTest : public QObject {
    Q_OBJECT

  private slots:
    void load() {
        WorkDir dir;
        dir.put("chart.zlx", TestChart("zlx"));
        const CliResult run = RunCliIn(dir, {"load", "chart.zlx", "--json"});
        QCOMPARE(run.status, ExitSuccess);
        QCOMPARE(run.lastErrLine(), QByteArray("File loaded."));
        const QJsonObject user{{"name", "Ann"},
                               {"location", "Lab 2"},
                               {"id", "17"},
                               {"software", "Zantrel(tm) - Version 5.2.1"}};
        CompareFields(run.json(), {{"status", "File loaded."},
                                   {"encrypted", true},
                                   {"rh", true},
                                   {"date_format", "mm/dd/yyyy hh:mm:ss"},
                                   {"samples_per_hour", "240"}, // rows 15 seconds apart
                                   {"user", user}});
        CompareWithRows(run, DataRows(TestChart("csv")));

        const CliResult summary = RunCliIn(dir, {"load", "chart.zlx"});
        QCOMPARE(summary.status, ExitSuccess);
        QCOMPARE(summary.out, QByteArray("rows: 4\n"
                                         "from: 2009-12-31T23:59:30\n"
                                         "to: 2010-01-01T00:00:15\n"
                                         "temperature: min -3.5 C, max 21 C\n"
                                         "humidity: min 12 %RH, max 50 %RH\n"));
    }

    // Without a chart there is nothing to repaint: start, load, save and exit take no pause.
    void skipsTheChartPauses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("load") << QStringList{"load", "chart.zlx"};
        QTest::newRow("convert") << QStringList{"convert", "chart.zlx", "--out", "copy.csv"};
    }
    void skipsTheChartPauses() {
        QFETCH(QStringList, arguments);
        WorkDir dir;
        dir.put("chart.zlx", TestChart("zlx"));
        TestClock clock;
        const CliResult run = RunCliIn(dir, arguments, &clock);
        QCOMPARE(run.status, ExitSuccess);
        QCOMPARE(clock.sleptMs(), 0);
    }

    // No humidity stored reads as null; the RH column of 0 that a converted temperature-only
    // chart gets reads as 0.
    void humidityNullOrZero() {
        WorkDir dir;
        dir.put("temps.zlx", TemperatureOnlyChart({"20.30", "-3.70", "9999.00", "0.10"}));
        const CliResult temps = RunCliIn(dir, {"load", "temps.zlx", "--json"});
        QCOMPARE(temps.status, ExitSuccess);
        CompareFields(
            temps.json(),
            {{"samples_per_hour", "120"}, {"date_format", "yyyy/mm/dd hh:mm:ss"}, {"rh", false}});
        QCOMPARE(temps.json()["user"].toObject()["location"].toString(),
                 QString::fromLatin1("K\xfchlraum"));
        for (const char* text : {"\"celsius\": 20.3,", "\"celsius\": -3.7,", "\"celsius\": 9999,",
                                 "\"celsius\": 0.1,"})
            QVERIFY2(temps.out.contains(text), temps.out);
        const CliResult summary = RunCliIn(dir, {"load", "temps.zlx"});
        QVERIFY2(summary.out.endsWith("\ntemperature: min -3.7 C, max 20.3 C\n"), summary.out);

        QCOMPARE(RunCliIn(dir, {"convert", "temps.zlx", "--out", "full.csv"}).status, ExitSuccess);
        QVERIFY(dir.read("full.csv").startsWith("~Date Format: yyyy/mm/dd hh:mm:ss\r\n"));
        const QJsonArray before = temps.json()["readings"].toArray();
        const QJsonArray after =
            RunCliIn(dir, {"load", "full.zlx", "--json"}).json()["readings"].toArray();
        QCOMPARE(after.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(before[i]["rh"], QJsonValue(QJsonValue::Null));
            QCOMPARE(after[i]["rh"], QJsonValue(0));
            QCOMPARE(after[i]["celsius"], before[i]["celsius"]);
            QCOMPARE(after[i]["time"], before[i]["time"]);
        }
    }

    // A file that cannot be opened is followed by the system's reason.
    void loadFailures() {
        WorkDir dir;
        dir.put("plain.csv", TestChart("csv"));
        const std::tuple<const char*, const char*, QByteArrayList> cases[] = {
            {"nope.zlx", "Cannot open file.", {"Cannot open file.", "No such file or directory."}},
            {"plain.csv", kPlainChartFile, {kPlainChartFile}}};
        for (const char* json : {"", "--json"}) {
            for (const auto& [file, status, last] : cases) {
                QStringList arguments{"load", file};
                if (*json) arguments << json;
                const CliResult run = RunCliIn(dir, arguments);
                QCOMPARE(run.status, ExitJobFailed);
                QCOMPARE(run.errLines().mid(run.errLines().size() - last.size()), last);
                if (*json)
                    CompareFields(
                        run.json(),
                        {{"status", status}, {"encrypted", false}, {"readings", QJsonArray()}});
                else
                    QCOMPARE(run.out, QByteArray());
            }
        }
    }

    void convert() {
        WorkDir dir;
        dir.put("chart.zlx", TestChart("zlx"));
        const QByteArray info = PutUserInformation(dir);
        const CliResult run = RunCliIn(dir, {"convert", "chart.zlx", "--out", "out.csv"});
        QCOMPARE(run.status, ExitSuccess);
        QCOMPARE(run.lastErrLine(), QByteArray("Data file and encrypted duplicate (*.zlx) saved."));
        QCOMPARE(dir.read("USERINFO.DAT"), info);

        // The rows come back as they were, the first row's new sensors included.
        const QByteArrayList rows = DataRows(TestChart("csv"));
        QCOMPARE(DataRows(dir.read("out.csv")), rows);
        const CliResult copy = RunCliIn(dir, {"load", "out.zlx", "--json"});
        QCOMPARE(copy.status, ExitSuccess);
        CompareWithRows(copy, rows);
        QCOMPARE(copy.json()["user"].toObject()["name"].toString(), QString::fromLatin1(kUserName));
    }

    void convertFailures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("missing input") << QStringList{"convert", "nope.zlx", "--out", "out.csv"}
                                       << QByteArray("\nCannot open file.\nNo such file or "
                                                     "directory.\n");
        QTest::newRow("not scrambled") << QStringList{"convert", "plain.csv", "--out", "out.csv"}
                                       << "\n" + QByteArray(kPlainChartFile) + "\n";
    }
    void convertFailures() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        WorkDir dir;
        dir.put("plain.csv", TestChart("csv"));
        const QByteArray info = PutUserInformation(dir);
        const QStringList before = FolderEntries(dir);
        const CliResult run = RunCliIn(dir, arguments);
        QCOMPARE(run.status, ExitJobFailed);
        QVERIFY2(run.err.contains(message), run.err);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(FolderEntries(dir), before);
        QCOMPARE(dir.read("USERINFO.DAT"), info);
    }

    // The chart file alone is no success.
    void convertWithoutDuplicate() {
        WorkDir dir;
        dir.put("chart.zlx", TestChart("zlx"));
        QVERIFY(QDir(dir.file(".")).mkdir("out.zlx"));
        const CliResult run = RunCliIn(dir, {"convert", "chart.zlx", "--out", "out.csv"});
        QCOMPARE(run.status, ExitJobFailed);
        // Neither file is put in place without the other.
        QVERIFY2(!run.err.contains("File saved."), run.err);
        QVERIFY2(run.err.contains("\nProblem: Cannot save encrypted file"), run.err);
        QVERIFY(!dir.exists("out.csv"));
    }
};

QTEST_GUILESS_MAIN(CliLoadTest)
#include "cli_load_test.moc"
