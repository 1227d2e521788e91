// zantrel-cli stats on chart files saved by the engine: the JSON figures of the whole file and
// of a range, with and without limits and humidity, an empty range, the text form, load
// failures and usage errors.
#include "chart/chart_statistics.h"
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "cli_result.h"
#include "core/state.h"

#include <QJsonObject>
#include <QtTest>

using namespace zantrel;

namespace {

// Readings every 15 seconds from 1 March 2010 00:00:00: 4, gap, 1, 10, 9, 6, with humidity
// 40, 50, 30, gap, 60, 45 when given.
void SaveChart(ChartFileHarness& h, bool humidity) {
    const QList<float> celsius = {4, NoReading, 1, 10, 9, 6};
    const QList<float> rh = {40, 50, 30, NoReading, 60, 45};
    for (int i = 0; i < celsius.size(); ++i) {
        h.store().ReadingTimes.push_back(Every15s(i));
        h.store().Temperatures.push_back(celsius[i]);
        if (humidity) h.store().Humidities.push_back(rh[i]);
    }
    h.s().RHZL.set(humidity);
    QCOMPARE(h.save("run.csv").isEmpty(), false);
    QCOMPARE(h.s().Edit1.text(), kSaved);
}

// The engine's own figures for the saved chart: what each key must carry.
ChartStatistics Figures(ChartFileHarness& h, const TimeRange& range = {},
                        double activationEnergy = 83.144) {
    StatisticsOptions options;
    options.activationEnergy = activationEnergy;
    return ComputeChartStatistics(h.store(), range, options);
}

const QJsonValue kNull(QJsonValue::Null);

} // namespace

class CliStatsTest : public QObject {
    Q_OBJECT

  private slots:
    void wholeChartWithLimitsAndHumidity() {
        ChartFileHarness h;
        SaveChart(h, true);
        const CliResult run =
            RunCliIn(h.dir, {"stats", "run.zlx", "--json", "--low", "2", "--high", "8"});
        QCOMPARE(run.status, ExitSuccess);
        QCOMPARE(run.lastErrLine(), QByteArray("File loaded."));
        const QJsonObject json = run.json();
        QCOMPARE(json["status"], QJsonValue("File loaded."));
        QCOMPARE(json["readings"], QJsonValue(5));
        QCOMPARE(json["gaps"], QJsonValue(1));
        QCOMPARE(json["from"], QJsonValue("2010-03-01T00:00:00"));
        QCOMPARE(json["to"], QJsonValue("2010-03-01T00:01:15"));
        const QJsonObject c = json["celsius"].toObject();
        QCOMPARE(c["min"], QJsonValue(1));
        QCOMPARE(c["min_time"], QJsonValue("2010-03-01T00:00:30"));
        QCOMPARE(c["max"], QJsonValue(10));
        QCOMPARE(c["max_time"], QJsonValue("2010-03-01T00:00:45"));
        QCOMPARE(c["mean"], QJsonValue(6));
        const ChartStatistics figures = Figures(h);
        QCOMPARE(float(c["stdev"].toDouble()), float(figures.stdev));
        QCOMPARE(float(c["mkt"].toDouble()), float(*figures.mkt));
        // 1 below 2 C and 10 and 9 above 8 C, each standing for 15 seconds.
        const QJsonObject limits = json["limits"].toObject();
        QCOMPARE(limits, (QJsonObject{{"low", 2},
                                      {"high", 8},
                                      {"hours_below", 15 / 3600.0},
                                      {"hours_above", 30 / 3600.0},
                                      {"share_below", 0.2},
                                      {"share_above", 0.4}}));
        // Humidity has gaps of its own: the reading without a temperature has a humidity.
        QCOMPARE(json["rh"].toObject(), (QJsonObject{{"min", 30}, {"max", 60}, {"mean", 45}}));
    }

    // The range cuts between readings; no limit given, no "limits".
    void aRangeWithoutLimitsOrHumidity() {
        ChartFileHarness h;
        SaveChart(h, false);
        const CliResult run =
            RunCliIn(h.dir, {"stats", "run.zlx", "--json", "--from", "03/01/10 00:00:20", "--to",
                             "03/01/10 00:01:00", "--activation-energy", "100"});
        QCOMPARE(run.status, ExitSuccess);
        const QJsonObject json = run.json();
        QCOMPARE(json["readings"], QJsonValue(3));
        QCOMPARE(json["gaps"], QJsonValue(0));
        QCOMPARE(json["from"], QJsonValue("2010-03-01T00:00:30"));
        QCOMPARE(json["to"], QJsonValue("2010-03-01T00:01:00"));
        QCOMPARE(json["celsius"]["min"], QJsonValue(1));
        QCOMPARE(json["celsius"]["max"], QJsonValue(10));
        // The same readings, weighed with the activation energy given.
        const ChartStatistics figures = Figures(h, {Every15s(2), Every15s(4)}, 100);
        QCOMPARE(figures.readings, std::size_t(3));
        QCOMPARE(float(json["celsius"]["mkt"].toDouble()), float(*figures.mkt));
        QVERIFY(!json.contains("limits"));
        QCOMPARE(json["rh"], kNull);
    }

    void anEmptyRangeHasNullFigures() {
        ChartFileHarness h;
        SaveChart(h, true);
        const CliResult run =
            RunCliIn(h.dir, {"stats", "run.zlx", "--json", "--from", "03/01/10 00:00:31", "--to",
                             "03/01/10 00:00:44", "--high", "8"});
        QCOMPARE(run.status, ExitSuccess);
        const QJsonObject json = run.json();
        QCOMPARE(json["readings"], QJsonValue(0));
        QCOMPARE(json["from"], kNull);
        QCOMPARE(json["to"], kNull);
        for (const char* figure : {"min", "min_time", "max", "max_time", "mean", "stdev", "mkt"})
            QCOMPARE(json["celsius"][figure], kNull);
        QCOMPARE(json["limits"].toObject(), (QJsonObject{{"low", kNull},
                                                         {"high", 8},
                                                         {"hours_below", kNull},
                                                         {"hours_above", 0},
                                                         {"share_below", kNull},
                                                         {"share_above", kNull}}));
        QCOMPARE(json["rh"].toObject(),
                 (QJsonObject{{"min", kNull}, {"max", kNull}, {"mean", kNull}}));
    }

    void textFormInCelsius() {
        ChartFileHarness h;
        SaveChart(h, false);
        const CliResult run = RunCliIn(h.dir, {"stats", "run.zlx", "--low", "2"});
        QCOMPARE(run.status, ExitSuccess);
        const QByteArray mkt = QByteArray::number(*Figures(h).mkt, 'f', 2);
        const QByteArray figures = StatsFiguresText(run.out);
        QCOMPARE(figures, "From: 03/01/2010 00:00:00\n"
                          "To: 03/01/2010 00:01:15\n"
                          "Readings: 5\n"
                          "Gaps: 1\n"
                          "Missing time: 0:00:00\n"
                          "Lowest: 1.00 C\n"
                          "Lowest at: 03/01/2010 00:00:30\n"
                          "Highest: 10.00 C\n"
                          "Highest at: 03/01/2010 00:00:45\n"
                          "Mean: 6.00 C\n"
                          "Standard deviation: 3.29 C\n"
                          "Mean kinetic temperature: " +
                              mkt +
                              " C\n"
                              "Activation energy: 83.144 kJ/mol\n"
                              "Time below 2.00 C: 0:00:15\n"
                              "Readings below 2.00 C: 20.0 %\n");
    }

    void aFileThatDoesNotLoad() {
        WorkDir dir;
        const CliResult text = RunCliIn(dir, {"stats", "nope.zlx"});
        QCOMPARE(text.status, ExitJobFailed);
        QCOMPARE(text.errLines().mid(text.errLines().size() - 2),
                 QByteArrayList({"Cannot open file.", "No such file or directory."}));
        QCOMPARE(text.out, QByteArray());
        const CliResult json = RunCliIn(dir, {"stats", "nope.zlx", "--json"});
        QCOMPARE(json.status, ExitJobFailed);
        QCOMPARE(json.json()["status"], QJsonValue("Cannot open file."));
        QCOMPARE(json.json()["readings"], QJsonValue(0));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no file") << QStringList{"stats"} << QByteArray("one or more chart files");
        QTest::newRow("from") << QStringList{"stats", "a.zlx", "--from", "2010-03-01"}
                              << QByteArray(
                                     "--from must read \"MM/DD/YY HH:MM:SS\", not '2010-03-01'");
        QTest::newRow("to") << QStringList{"stats", "a.zlx", "--to", "02/30/10 00:00:00"}
                            << QByteArray("--to must read");
        QTest::newRow("from after to") << QStringList{"stats",  "a.zlx",
                                                      "--from", "03/02/10 00:00:00",
                                                      "--to",   "03/01/10 00:00:00"}
                                       << QByteArray("--from must not be after --to.");
        QTest::newRow("low") << QStringList{"stats", "a.zlx", "--low", "cold"}
                             << QByteArray(
                                    "--low must be a number of degrees Celsius, not 'cold'.");
        QTest::newRow("high infinite") << QStringList{"stats", "a.zlx", "--high", "inf"}
                                       << QByteArray("--high must be a number");
        QTest::newRow("low above high")
            << QStringList{"stats", "a.zlx", "--low", "8", "--high", "2"}
            << QByteArray("--low must not be above --high.");
        QTest::newRow("energy zero") << QStringList{"stats", "a.zlx", "--activation-energy", "0"}
                                     << QByteArray("--activation-energy must be a positive number");
        QTest::newRow("energy text") << QStringList{"stats", "a.zlx", "--activation-energy", "x"}
                                     << QByteArray("--activation-energy must be a positive number");
        QTest::newRow("unknown option")
            << QStringList{"stats", "a.zlx", "--lowest", "2"} << QByteArray("lowest");
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        WorkDir dir;
        const CliResult run = RunCliIn(dir, arguments);
        QCOMPARE(run.status, ExitUsage);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("zantrel-cli stats: ") && run.err.contains(message), run.err);
        // Refused before the engine starts: no status text.
        QVERIFY2(!run.err.contains("Initializing"), run.err);
    }

    void help() {
        WorkDir dir;
        const CliResult program = RunCliIn(dir, {"--help"});
        QVERIFY(program.out.contains("\n  stats "));
        const CliResult run = RunCliIn(dir, {"stats", "--help"});
        QCOMPARE(run.status, ExitSuccess);
        QVERIFY(run.out.startsWith("Usage: zantrel-cli stats PATH"));
    }
};

QTEST_GUILESS_MAIN(CliStatsTest)
#include "cli_stats_test.moc"
