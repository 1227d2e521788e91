// Loading chart files through the engine: duplicates in every date format, the failures and
// their texts, the date format detection, the settings a load leaves behind, start-up loads.
#include "chart/chart_model.h"
#include "chart_file_harness.h"
#include "core/calendar.h"
#include "core/date_formats.h"
#include "core/date_rendering.h"
#include "core/format_settings.h"
#include "core/state.h"
#include "files/chart_file_loader.h"
#include "files/chart_file_parse.h"
#include "files/scrambling.h"

#include <QtTest>

using namespace zantrel;

namespace {

const QByteArray kLoaded = "File loaded.";
const QByteArray kCorrupt = "Error in file. Data is corrupt.";
const QByteArray kPlain = "This is the plain chart file; its readings load from the encrypted "
                          "duplicate (.zlx) beside it.";
// 31 December 2009 23:59:30: the rows run over midnight and the new year, and the day (31)
// tells the day-first formats from the month-first ones.
const double kT0 = At(2009, 12, 31, 23, 59, 30);

struct Row {
    double time;
    float celsius;
    float rh;
    std::array<int, EventKindCount> events{};
};

// A T+RH chart with two temperature gaps, an RH gap and every kind of event; the first row's
// new-sensor count includes the one the writer adds.
QList<Row> SampleRows() {
    QList<Row> rows;
    const float celsius[] = {20.5f, -3.25f, NoReading, 21.0f, NoReading, 22.75f, 23.0f, 19.5f};
    const float rh[] = {45, 46, 47, NoReading, 50, 51, 0, 100};
    for (int i = 0; i < 8; ++i)
        rows.append({kT0 + i * 15 * kOneSecond, celsius[i], rh[i]});
    rows[0].events[NewSensor] = 1;
    rows[2].events = {0, 2, 0, 0, 0, 0, 0};
    rows[3].events = {1, 0, 1, 1, 0, 0, 0};
    rows[5].events = {0, 0, 0, 0, 3, 1, 0};
    rows[7].events = {0, 0, 0, 0, 0, 0, 2};
    return rows;
}

QByteArray Number(float value) {
    return QByteArray::number(value, 'f', 2);
}

QByteArray RowLine(const QByteArray& format, const Row& row) {
    QByteArray line = FormatDateTime(format, row.time) + ", " + Number(row.celsius);
    const bool marker = row.celsius == NoReading;
    line += ", " + (marker ? Number(NoReading) : Number(row.celsius + 273.15f));
    line += ", " + (marker ? Number(NoReading) : Number(1.8f * row.celsius + 32));
    line += ", " + QByteArray::number(static_cast<int>(row.rh));
    for (int count : row.events)
        line += ", " + QByteArray::number(count);
    return line;
}

// The lines of a chart file as the writer lays them out.
QList<QByteArray> ChartLines(const QByteArray& format, const QList<Row>& rows) {
    QList<QByteArray> lines = {"~Date Format: " + format,
                               "~File Created On: " + FormatDateTime(format, kT0 + 1),
                               "~User Name: Ann",
                               "~User Location: Lab 2",
                               "~ZL ID: 17",
                               "~PC Software Version: Zantrel(tm) - Version 5.2.1",
                               "~"};
    lines.append(QByteArray(format.contains(',') ? "~Date, Time" : "~DateTime") +
                 ", Celsius, Kelvin, Fahrenheit, RH, New sensors, Temp alarm starts, RH alarm "
                 "starts, Temp alarm ends, RH alarm ends, Test start, Test end");
    for (const Row& row : rows)
        lines.append(RowLine(format, row));
    return lines;
}

QByteArray Joined(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

// A duplicate: plainLines lines in the clear, then every line scrambled behind "?".
QByteArray Duplicate(const QList<QByteArray>& lines, int plainLines = 6) {
    ScrambleState state;
    QByteArray out = Joined(lines.mid(0, plainLines));
    for (const QByteArray& line : lines)
        out += "?" + ScrambleLine(state, line) + "\r\n";
    return out;
}

void ExpectRestored(ChartFileHarness& h, const QList<Row>& rows) {
    const ReadingsStore& store = h.store();
    QCOMPARE(store.ReadingTimes.size(), size_t(rows.size()));
    QCOMPARE(store.Temperatures.size(), size_t(rows.size()));
    QCOMPARE(store.Humidities.size(), size_t(rows.size()));
    std::array<std::vector<double>, EventKindCount> events;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(store.ReadingTimes[i], rows[i].time);
        QCOMPARE(store.Temperatures[i], rows[i].celsius);
        QCOMPARE(store.Humidities[i], rows[i].rh);
        for (int kind = 0; kind < EventKindCount; ++kind)
            events[kind].insert(events[kind].end(), rows[i].events[kind], rows[i].time);
    }
    for (int kind = 0; kind < EventKindCount; ++kind)
        QCOMPARE(store.Events[kind], events[kind]);
}

// One row for each item of the Date Format menu.
void EveryDateFormat() {
    QTest::addColumn<int>("item");
    for (int i = 0; i < 8; ++i)
        QTest::newRow(kDateFormats[i]) << i;
}

void ExpectEmptyChart(ChartFileHarness& h) {
    QVERIFY(h.store().ReadingTimes.empty() && h.store().Temperatures.empty());
    QVERIFY(h.store().Humidities.empty());
    QCOMPARE(h.engine->chart().Series1.PointCount(), 1);
    QCOMPARE(h.engine->chart().Series1.label(0), QByteArray("No data"));
}

} // namespace

class ChartFileLoaderTest : public QObject {
    Q_OBJECT
  private slots:
    void aDuplicateRestoresEveryReadingAndEvent_data() { EveryDateFormat(); }
    void aDuplicateRestoresEveryReadingAndEvent() {
        QFETCH(int, item);
        const QByteArray format = kDateFormats[item];
        ChartFileHarness h;
        const QList<Row> rows = SampleRows();
        QCOMPARE(h.load("run.zlx", Duplicate(ChartLines(format, rows))), kLoaded);
        ExpectRestored(h, rows);

        State& s = h.s();
        QCOMPARE(s.DATEFORMAT.text(), format);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(s.DateFormatItems[i].checked(), i == item);
        QCOMPARE(h.engine->chart().TimeLabelFormat, format);
        QVERIFY(!h.dir.exists("DATEFMT.DAT")); // the session's choice, not a saved one
        QVERIFY(s.RHZL.checked());
        QVERIFY(s.FileEncryptFlag.checked());
        QVERIFY(s.SecureData.visible() && s.LockImage.visible());
        QVERIFY(!s.FreshData.checked());
        QCOMPARE(s.Samplesperhour.text(), QByteArray("240"));
        QCOMPARE(s.Startdate.value() + s.Starttime.value(), rows.first().time);
        QCOMPARE(s.Startdate.value(), std::floor(rows.first().time));
        QCOMPARE(s.Enddate.value() + s.Endtime.value(), rows.last().time);
        QCOMPARE(s.UserName, QByteArray("Ann"));
        QCOMPARE(s.UserLocation, QByteArray("Lab 2"));
        QCOMPARE(s.UnitId, QByteArray("17"));
        QCOMPARE(s.SoftwareVersion, QByteArray("Zantrel(tm) - Version 5.2.1"));
        QCOMPARE(s.Caption.text(),
                 "Zantrel(tm) - Version 5.2.1 | " + h.dir.file("run.zlx").toLocal8Bit());
        QVERIFY(s.CaptionSuffix.isEmpty());
        // Redrawn: six temperatures, the gaps left out.
        QCOMPARE(h.engine->chart().Series1.PointCount(), 6);
        QCOMPARE(h.engine->chart().Series1.x(0), rows.first().time);

        // Saved again and loaded back: the same chart, its first row's new sensor included.
        h.save("again.csv");
        QCOMPARE(h.load("again-copy.zlx", h.dir.read("again.zlx")), kLoaded);
        QCOMPARE(s.DATEFORMAT.text(), format);
        ExpectRestored(h, rows);
    }

    // Whatever the writer writes loads: Kelvin and Fahrenheit agree with Celsius at every
    // rounding, gaps included, and the times run on, in either family of date formats.
    void everyChartTheWriterSavesLoads_data() { EveryDateFormat(); }
    void everyChartTheWriterSavesLoads() {
        QFETCH(int, item);
        ChartFileHarness h;
        h.s().DATEFORMAT.setText(kDateFormats[item]);
        std::vector<float> celsius;
        for (int i = 0; i < 6000; ++i)
            celsius.push_back(i % 97 == 5 ? NoReading : -60.0f + 0.0173f * static_cast<float>(i));
        for (float extreme : {-273.15f, -0.005f, 0.005f, 0.015f, 999.995f, 123456.78f})
            celsius.push_back(extreme);
        for (std::size_t i = 0; i < celsius.size(); ++i) {
            h.store().ReadingTimes.push_back(At(2010, 3, 1, 0, 0, 0) + double(i) * 15 * kOneSecond);
            h.store().Temperatures.push_back(celsius[i]);
        }
        h.save("sweep.csv");
        QCOMPARE(h.s().Edit1.text(), kSaved);
        QCOMPARE(h.load("sweep-copy.zlx", h.dir.read("sweep.zlx")), kLoaded);
        QCOMPARE(h.store().Temperatures.size(), celsius.size());
    }

    // One changed character in a row of a duplicate: the row's fields no longer agree with each
    // other, or its time no longer follows the row before.
    void aChangedDuplicateRowIsRefused_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<bool>("loads");
        const auto row = [](const char* name, const char* text, bool loads) {
            QTest::newRow(name) << QByteArray(text) << loads;
        };
        row("as written", "12/31/2009 23:59:45, 22.31, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0",
            true);
        row("at the edge of the rounding",
            "12/31/2009 23:59:45, 22.31, 295.47, 72.17, 45, 0, 0, 0, 0, 0, 0, 0", true);
        row("fewer decimals", "12/31/2009 23:59:45, 22.3, 295.5, 72.1, 45, 0, 0, 0, 0, 0, 0, 0",
            true);
        row("a gap", "12/31/2009 23:59:45, 9999.00, 9999.00, 9999.00, 45, 0, 0, 0, 0, 0, 0, 0",
            true);
        row("Celsius changed", "12/31/2009 23:59:45, 31.31, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0",
            false);
        row("Celsius changed in the last figure",
            "12/31/2009 23:59:45, 22.33, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0", false);
        row("Kelvin changed", "12/31/2009 23:59:45, 22.31, 205.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0",
            false);
        row("Fahrenheit changed",
            "12/31/2009 23:59:45, 22.31, 295.46, 73.16, 45, 0, 0, 0, 0, 0, 0, 0", false);
        row("a gap that is not one",
            "12/31/2009 23:59:45, 9999.00, 9999.00, 9990.00, 45, 0, 0, 0, 0, 0, 0, 0", false);
        row("three commas, Kelvin changed", "12/31/2009 23:59:45, 22.31, 295.56, 72.16, 45", false);
        row("year changed", "12/31/1109 23:59:45, 22.31, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0",
            false);
        row("the same time again",
            "12/31/2009 23:59:30, 22.31, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0", false);
        row("an earlier time", "12/31/2009 23:58:45, 22.31, 295.46, 72.16, 45, 0, 0, 0, 0, 0, 0, 0",
            false);
    }
    void aChangedDuplicateRowIsRefused() {
        QFETCH(QByteArray, row);
        QFETCH(bool, loads);
        ChartFileHarness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines << "12/31/2009 23:59:30, 20.50, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 0" << row;
        QCOMPARE(h.load("row.zlx", Duplicate(lines)), loads ? kLoaded : kCorrupt);
        QCOMPARE(h.s().SecureData.visible(), loads);
        if (!loads) ExpectEmptyChart(h);
    }

    // A duplicate cut inside its header block is no chart, not an empty one.
    void aHeaderLineCutShortIsRefused_data() {
        QTest::addColumn<int>("plainLines");
        QTest::addColumn<int>("cutInLine");
        QTest::newRow("in a plain line") << 6 << 3;
        QTest::newRow("in a scrambled line") << 6 << 9;
        QTest::newRow("in the scrambled column header") << 6 << 14;
    }
    void aHeaderLineCutShortIsRefused() {
        QFETCH(int, plainLines);
        QFETCH(int, cutInLine);
        ChartFileHarness h;
        const QByteArray whole = Duplicate(ChartLines(kDateFormats[0], {}), plainLines);
        qsizetype lineStart = 0;
        for (int i = 1; i < cutInLine; ++i)
            lineStart = whole.indexOf('\n', lineStart) + 1;
        QCOMPARE(h.load("cut.zlx", whole.left(lineStart + 8)), kCorrupt);
        ExpectEmptyChart(h);
        QVERIFY(!h.s().SecureData.visible());
        QCOMPARE(h.load("whole.zlx", whole), kLoaded);
    }

    // Another program cuts the file short while it loads: the load has what the file held when
    // it was read, and never crashes on the part that is gone.
    void aFileCutShortDuringItsLoadNeverCrashes() {
        ChartFileHarness h;
        QList<Row> rows;
        for (int i = 0; i < 3000; ++i)
            rows.append({kT0 + i * 15 * kOneSecond, 20.0f + float(i % 50) / 4, float(i % 100)});
        h.dir.put("run.zlx", Duplicate(ChartLines(kDateFormats[0], rows)));
        ChartFileLoader& loader = h.engine->loader();
        const std::function<void()> clear = loader.clearBuffer;
        int cuts = 0;
        loader.clearBuffer = [&] {
            QVERIFY(QFile::resize(h.dir.file("run.zlx"), 100));
            ++cuts;
            clear();
        };
        loader.LoadChartFile(h.pathOf("run.zlx"));
        loader.clearBuffer = clear;
        QCOMPARE(cuts, 1);
        QCOMPARE(h.s().Edit1.text(), kLoaded);
        QCOMPARE(h.store().ReadingTimes.size(), std::size_t(rows.size()));
        // Loaded again, the file holds only a cut header line.
        QCOMPARE(h.load("run.zlx", h.dir.read("run.zlx")), kCorrupt);
    }

    // Each failure is found before anything is cleared: the chart, its caption, its marker and
    // its date format stay exactly as they were.
    void aFailedLoadLeavesTheChartAsItWas() {
        ChartFileHarness h;
        QCOMPARE(h.load("kept.zlx", Duplicate(ChartLines(kDateFormats[1], SampleRows()))), kLoaded);
        const auto shown = [&h] {
            const State& s = h.s();
            const ReadingsStore& r = h.store();
            QByteArray all = s.Caption.text() + "|" + s.DATEFORMAT.text() + "|" +
                             QByteArray::number(s.SecureData.visible()) +
                             QByteArray::number(s.LockImage.visible()) +
                             QByteArray::number(s.FileEncryptFlag.checked()) +
                             QByteArray::number(s.RHZL.checked()) + "|" + s.Samplesperhour.text();
            for (std::size_t i = 0; i < r.ReadingTimes.size(); ++i)
                all += "|" + QByteArray::number(r.ReadingTimes[i], 'g', 17) + "," +
                       QByteArray::number(r.Temperatures[i]) + "," +
                       QByteArray::number(r.Humidities[i]);
            for (const auto& events : r.Events)
                all += "|" + QByteArray::number(events.size());
            return all;
        };
        const QByteArray before = shown();
        QVERIFY(before.contains("kept.zlx|") && before.contains("|1111|"));
        const QByteArray duplicate = Duplicate(ChartLines(kDateFormats[0], SampleRows()));
        const std::pair<const char*, QByteArray> files[] = {
            {"plain.csv", Joined(ChartLines(kDateFormats[0], SampleRows()))},
            {"damaged.zlx", duplicate.left(duplicate.size() - 20)},
            // One plain row among encrypted ones is enough.
            {"mixed.zlx", duplicate + ChartLines(kDateFormats[0], SampleRows()).last() + "\r\n"},
            {"undated.zlx", QByteArray("~\r\n~\r\n")}};
        const QByteArray statuses[] = {kPlain, kCorrupt, kCorrupt,
                                       "Date format not valid in file."};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(h.load(files[i].first, files[i].second), statuses[i]);
            QCOMPARE(shown(), before);
        }
        h.engine->loader().LoadChartFile(h.pathOf("missing.zlx"));
        QCOMPARE(h.s().Edit1.text(), QByteArray("Cannot open file."));
        QCOMPARE(shown(), before);
    }

    void aHeaderOnlyFileLoadsAsAnEmptyChart() {
        ChartFileHarness h;
        const QList<QByteArray> lines = ChartLines(kDateFormats[2], {});
        QCOMPARE(h.load("empty.zlx", Duplicate(lines)), kLoaded);
        ExpectEmptyChart(h);
        QCOMPARE(h.s().DATEFORMAT.text(), QByteArray(kDateFormats[2]));
        QVERIFY(h.s().SecureData.visible());
        QCOMPARE(h.s().Samplesperhour.text(), QByteArray("240"));
    }

    void overLongAndEmptyLinesFail() {
        ChartFileHarness h;
        const QList<Row> rows = SampleRows();
        QList<QByteArray> lines = ChartLines(kDateFormats[0], rows);
        // "?" and 252 characters: with the line end, 254, the most a line may hold.
        lines[2] = "~User Name: " + QByteArray(240, 'n');
        QCOMPARE(h.load("longest.zlx", Duplicate(lines)), kLoaded);
        QCOMPARE(h.s().UserName, QByteArray(240, 'n'));
        ExpectRestored(h, rows);

        // Refused, they leave the chart shown.
        lines[2] += 'n';
        QCOMPARE(h.load("longer.zlx", Duplicate(lines)), kCorrupt);
        ExpectRestored(h, rows);

        QByteArray blank = Duplicate(ChartLines(kDateFormats[0], rows));
        blank.insert(blank.indexOf("\r\n?") + 2, "\r\n");
        QCOMPARE(h.load("blank.zlx", blank), kCorrupt);
        ExpectRestored(h, rows);
    }

    void unreadableRowsFail_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<bool>("loads");
        const auto fields = [](const char* name, const char* afterTheTime, bool loads) {
            QTest::newRow(name) << "12/31/2009 23:59:30, " + QByteArray(afterTheTime) << loads;
        };
        fields("plain", "20.5, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 0", true);
        fields("10000 events", "20.5, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 10000", true);
        fields("extra fields", "20.5, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 0, x", true);
        fields("nan", "nan, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0", false);
        fields("-inf RH", "20.5, 293.65, 68.90, -inf, 1, 0, 0, 0, 0, 0, 0", false);
        fields("nan RH", "20.5, nan", false);
        fields("beyond a float", "1e39, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0", false);
        fields("not a number", "20.5x, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 0", false);
        fields("empty Kelvin", "20.5, , 68.90, 45, 1, 0, 0, 0, 0, 0, 0", false);
        fields("empty RH", "20.5, 293.65, 68.90, , 1, 0, 0, 0, 0, 0, 0", false);
        fields("negative count", "20.5, 293.65, 68.90, 45, 1, -1, 0, 0, 0, 0, 0", false);
        fields("10001 events", "20.5, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0, 10001", false);
        fields("huge count", "20.5, 293.65, 68.90, 45, 99999999999, 0, 0, 0, 0, 0, 0", false);
        fields("fractional count", "20.5, 293.65, 68.90, 45, 1.0, 0, 0, 0, 0, 0, 0", false);
        fields("field missing", "20.5, 293.65, 68.90, 45, 1, 0, 0, 0, 0, 0", false);
        fields("six commas", "20.5, 0, 0, 45, 1, 0, 0", false);
        QTest::newRow("month 13") << QByteArray("13/31/2009 23:59:30, 20.5") << false;
        QTest::newRow("31 April") << QByteArray("04/31/2009 23:59:30, 20.5") << false;
        QTest::newRow("hour 24") << QByteArray("12/31/2009 24:00:00, 20.5") << false;
        QTest::newRow("letters") << QByteArray("12/xx/2009 23:59:30, 20.5") << false;
        QTest::newRow("too short") << QByteArray("12/31/2009 23:59") << false;
        QTest::newRow("empty after marker") << QByteArray() << false;
    }
    void unreadableRowsFail() {
        QFETCH(QByteArray, row);
        QFETCH(bool, loads);
        ChartFileHarness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines.append(row);
        QCOMPARE(h.load("row.zlx", Duplicate(lines)), loads ? kLoaded : kCorrupt);
        QCOMPARE(h.s().SecureData.visible(), loads);
        if (loads)
            QCOMPARE(h.store().Temperatures, std::vector<float>{20.5f});
        else
            ExpectEmptyChart(h);
    }

    void tooManyEventsInAllFail() {
        ChartFileHarness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        for (int i = 0; i < 15; ++i) // 15 rows of 70,000 events: over a million
            lines.append("12/31/2009 23:59:" + QByteArray::number(30 + i) +
                         ", 20.5, 293.65, 68.90, 45, 10000, 10000, 10000, 10000, 10000, 10000, "
                         "10000");
        QCOMPARE(h.load("events.zlx", Duplicate(lines)), kCorrupt);
        ExpectEmptyChart(h);
        QVERIFY(h.store().NewSensorEvents().empty());
    }

    // Rows of the short formats may be mixed with full rows; once a row had RH, every reading
    // has a humidity, NoReading where its row had none.
    void mixedRowFormatsKeepTheHumiditiesParallel() {
        ChartFileHarness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines += {"12/31/2009 23:59:30, 20.5",                    // temperature only
                  "12/31/2009 23:59:45, 21.5, 40",                // 1 comma: T, RH
                  "12/31/2009 23:59:50, 22.5, x, y",              // 2 commas: T only
                  "12/31/2009 23:59:55, 23.5, 296.65, 74.30, 41", // 3 commas: T, RH
                  "12/31/2009 23:59:58, 24.5, 0, 0, 42, 1",       // 4 commas: T only
                  "12/31/2009 23:59:59, 25.5, 0, 0, 43, 1, 1"};   // 5 commas: T only
        QCOMPARE(h.load("mixed.zlx", Duplicate(lines)), kLoaded);
        const std::vector<float> celsius = {20.5f, 21.5f, 22.5f, 23.5f, 24.5f, 25.5f};
        const std::vector<float> rh = {NoReading, 40, NoReading, 41, NoReading, NoReading};
        QCOMPARE(h.store().Temperatures, celsius);
        QCOMPARE(h.store().Humidities, rh);
        QVERIFY(!h.s().RHZL.checked()); // the last row had none
        QVERIFY(h.store().NewSensorEvents().empty());
        QCOMPARE(h.s().Samplesperhour.text(), QByteArray("240"));

        // A full row with RH 0 leaves RHZL as it was.
        lines = ChartLines(kDateFormats[0], {});
        lines += {"12/31/2009 23:59:30, 20.5, 293.65, 68.90, 0, 1, 0, 0, 0, 0, 0, 0",
                  "12/31/2009 23:59:37, 20.5, 293.65, 68.90, 0, 0, 0, 0, 0, 0, 0, 0"};
        QCOMPARE(h.load("t.zlx", Duplicate(lines)), kLoaded);
        QVERIFY(!h.s().RHZL.checked());
        QCOMPARE(h.store().Humidities, std::vector<float>({0, 0}));
        // 3600 / 7 with fifteen significant digits.
        QCOMPARE(h.s().Samplesperhour.text(), QByteArray("514.285714285714"));
    }

    void aMissingFileChangesNothing() {
        ChartFileHarness h;
        const QList<Row> rows = SampleRows();
        h.load("run.zlx", Duplicate(ChartLines(kDateFormats[6], rows)));
        const QByteArray caption = h.s().Caption.text();
        h.engine->loader().LoadChartFile(h.dir.file("gone.zlx").toLocal8Bit());
        QCOMPARE(h.s().Edit1.text(), QByteArray("Cannot open file."));
        QCOMPARE(h.engine->loader().openFailure(), QByteArray("No such file or directory."));
        ExpectRestored(h, rows);
        QCOMPARE(h.s().Caption.text(), caption);
        QVERIFY(h.s().SecureData.visible());
        QCOMPARE(h.s().DATEFORMAT.text(), QByteArray(kDateFormats[6]));

        h.engine->loader().LoadChartFile(h.dir.path()); // a folder is no file either
        QCOMPARE(h.s().Edit1.text(), QByteArray("Cannot open file."));
        QCOMPARE(h.engine->loader().openFailure(), QByteArray("Is a directory."));
        ExpectRestored(h, rows);
        h.engine->loader().LoadChartFile("/dev/null");
        QCOMPARE(h.engine->loader().openFailure(), QByteArray("Not a regular file."));
    }

    void foreignFilesFailClearly_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("empty") << QByteArray() << QByteArray("Date format not valid in file.");
        // Its first two lines look like two dates of one month to the guesses.
        QTest::newRow("png")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0", 29)
            << kCorrupt;
        QTest::newRow("binary, guessed") << QByteArray("\x01\x02\x03\x32\0\xff\xfe", 7) << kCorrupt;
        // Cut in the last row's date (the kept files hold one cut where the rest reads as a row).
        const QByteArray whole = Duplicate(ChartLines(kDateFormats[0], SampleRows()));
        QTest::newRow("cut in a date") << whole.left(whole.lastIndexOf("\r\n?") + 12) << kCorrupt;
    }
    void foreignFilesFailClearly() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, status);
        ChartFileHarness h;
        QCOMPARE(h.load("foreign.zlx", content), status);
        ExpectEmptyChart(h);
        QVERIFY(!h.s().SecureData.visible());
    }

    void theDeclaredFormatIsTakenAsItIs() {
        ChartFileHarness h;
        QList<QByteArray> lines = ChartLines("yyyy/mm/dd, hh:mm:ss", SampleRows());
        // Only a line that begins with the tag counts; the first one wins.
        lines.insert(0, "~ ~Date Format: dd/mm/yyyy hh:mm:ss");
        lines.insert(2, "~Date Format: mm/dd/yyyy hh:mm:ss");
        QCOMPARE(h.load("run.zlx", Duplicate(lines, 3)), kLoaded);
        QCOMPARE(h.s().DATEFORMAT.text(), QByteArray("yyyy/mm/dd, hh:mm:ss"));
        ExpectRestored(h, SampleRows());

        // An unknown format is kept as it is: no menu item checks, the axis takes it.
        const QByteArray odd = "~Date Format: yyyy/mm/dd at hh:mm:ss\r\n";
        QCOMPARE(ParseChartFile(odd.toStdString(), 2026).chart->shortDateFormat,
                 QByteArray("yyyy/mm/dd"));
        QCOMPARE(h.load("odd.zlx", odd), kLoaded);
        QCOMPARE(h.s().DATEFORMAT.text(), QByteArray("yyyy/mm/dd at hh:mm:ss"));
        QVERIFY(h.s().DateFormatItems[7].checked());
        QCOMPARE(h.engine->chart().TimeLabelFormat, QByteArray("yyyy/mm/dd at hh:mm:ss"));
    }

    // Without a "~Date Format: " line the format is guessed from the lines themselves.
    void aFileWithoutItsFormatLineIsGuessed() {
        ChartFileHarness h;
        const QList<Row> rows = SampleRows();
        QList<QByteArray> lines = ChartLines(kDateFormats[2], rows);
        lines.removeFirst();
        // Against the filler line before it, the second character changed and the fifth did
        // not: the day changed, so the day comes first.
        lines.prepend("~1  x");
        QCOMPARE(h.load("guess.zlx", Duplicate(lines, 1)), kLoaded);
        QCOMPARE(h.s().DATEFORMAT.text(), QByteArray("dd/mm/yyyy hh:mm:ss"));
        QVERIFY(h.s().DateFormatItems[2].checked());
        ExpectRestored(h, rows);

        QCOMPARE(h.load("nothing.zlx", "~\r\n~\r\n"), QByteArray("Date format not valid in file."));
        ExpectRestored(h, rows);
    }

    void separatorsAndTheShortDateFormatComeBack() {
        ChartFileHarness h;
        FormatSettings& f = h.engine->formats();
        f.decimalSeparator = ',';
        f.thousandSeparator = '.';
        f.dateSeparator = '.';
        f.timeSeparator = '-';
        f.shortDateFormat = "dd.mm.yyyy";
        const auto settings = [&f] {
            const char now[] = {f.decimalSeparator, f.thousandSeparator, f.dateSeparator,
                                f.timeSeparator, ' '};
            return QByteArray(now, sizeof now) + f.shortDateFormat;
        };
        QCOMPARE(h.load("run.zlx", Duplicate(ChartLines(kDateFormats[1], SampleRows()))), kLoaded);
        ExpectRestored(h, SampleRows());
        QCOMPARE(settings(), QByteArray(",..- dd.mm.yyyy"));
        h.load("run.csv", Joined(ChartLines(kDateFormats[1], SampleRows())));
        QCOMPARE(settings(), QByteArray(",..- dd.mm.yyyy"));
        h.load("empty.csv", {});
        QCOMPARE(settings(), QByteArray(",..- dd.mm.yyyy"));
    }

    // Files kept in the tree: what one version wrote must load the same in every later one.
    void keptFilesLoadAsTheyDid_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("duplicate") << "t_rh_gaps_events_ddmmyyyy_comma.zlx" << kLoaded;
        QTest::newRow("its chart") << "t_rh_gaps_events_ddmmyyyy_comma.csv" << kPlain;
        QTest::newRow("cut") << "cut_after_fahrenheit_of_last_row.zlx" << kCorrupt;
        QTest::newRow("shifted") << "ampm_declared_24_hour_rows.zlx" << kCorrupt;
    }
    void keptFilesLoadAsTheyDid() {
        QFETCH(QString, name);
        QFETCH(QByteArray, status);
        ChartFileHarness h;
        h.engine->loader().LoadChartFile(QByteArray(ZANTREL_TEST_DATA "/loads/") + name.toLatin1());
        QCOMPARE(h.s().Edit1.text(), status);
        if (status == "File loaded.") {
            ExpectRestored(h, SampleRows());
            QCOMPARE(h.s().DATEFORMAT.text(), QByteArray("dd/mm/yyyy, hh:mm:ss"));
        } else {
            ExpectEmptyChart(h);
        }
    }

    void theFirstArgumentIsLoadedAtStartUp() {
        WorkDir files;
        files.put("start.zlx", Duplicate(ChartLines(kDateFormats[3], SampleRows())));
        ChartFileHarness h({files.file("start.zlx")});
        QCOMPARE(h.s().Edit1.text(), kLoaded);
        ExpectRestored(h, SampleRows());
        QVERIFY(h.s().Caption.text().endsWith("start.zlx"));
    }

    void loadChartAsksForTheFile() {
        ChartFileHarness h;
        h.dir.put("run.zlx", Duplicate(ChartLines(kDateFormats[0], SampleRows())));
        h.engine->loader().LoaddataClick();
        QCOMPARE(h.host.openDialogs, 1);
        ExpectEmptyChart(h);

        h.host.openPath = h.pathOf("run.zlx");
        h.engine->loader().LoaddataClick();
        QCOMPARE(h.s().Edit1.text(), kLoaded);
        ExpectRestored(h, SampleRows());
    }
};

QTEST_GUILESS_MAIN(ChartFileLoaderTest)
#include "chart_file_loader_test.moc"
