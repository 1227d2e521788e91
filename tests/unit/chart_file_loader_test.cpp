// Loading chart files through the engine: duplicates in every date format, the failures and
// their texts, the date format detection, the settings a load leaves behind, start-up loads.
#include "app/date_formats.h"
#include "app/date_time.h"
#include "app/engine.h"
#include "fake_host.h"
#include "files/scrambling.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QtTest>
#include <memory>

using namespace zantrel;

namespace {

constexpr double kSecond = 1.0 / 86400.0;
// 31 December 2009 23:59:30: the rows run over midnight and the new year, and the day (31)
// tells the day-first formats from the month-first ones.
const double kT0 = *EncodeDateTime(2009, 12, 31, 23, 59, 30);

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
        rows.append({kT0 + i * 15 * kSecond, celsius[i], rh[i]});
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
    lines.append(format.contains(',') ? "~Date, Time, Celsius, Kelvin, Fahrenheit, RH, New sensors"
                                        ", Temp alarm starts, RH alarm starts, Temp alarm ends, "
                                        "RH alarm ends, Test start, Test end"
                                      : "~DateTime, Celsius, Kelvin, Fahrenheit, RH, New sensors, "
                                        "Temp alarm starts, RH alarm starts, Temp alarm ends, RH "
                                        "alarm ends, Test start, Test end");
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

struct Harness {
    WorkDir dir;
    TestClock clock;
    FakeHost host;
    std::unique_ptr<Engine> engine;

    explicit Harness(const QStringList& arguments = {}) {
        engine = std::make_unique<Engine>(clock, host);
        engine->FormCreate(dir.path(), arguments, QByteArray("NA"));
    }
    State& state() { return engine->state(); }
    ReadingsStore& store() { return engine->readings(); }
    QByteArray put(const QString& name, const QByteArray& content) {
        dir.put(name, content);
        return dir.file(name).toLocal8Bit();
    }
    QByteArray load(const QString& name, const QByteArray& content) {
        const QByteArray path = put(name, content);
        engine->loader().LoadChartFile(path);
        return state().Edit1.text();
    }
};

void ExpectRestored(Harness& h, const QList<Row>& rows) {
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

void ExpectEmptyChart(Harness& h) {
    QVERIFY(h.store().ReadingTimes.empty() && h.store().Temperatures.empty());
    QVERIFY(h.store().Humidities.empty());
    QCOMPARE(h.engine->chart().Series1.PointCount(), 1);
    QCOMPARE(h.engine->chart().Series1.label(0), QByteArray("No data"));
}

} // namespace

class ChartFileLoaderTest : public QObject {
    Q_OBJECT
  private slots:
    void aDuplicateRestoresEveryReadingAndEvent_data() {
        QTest::addColumn<int>("item");
        for (int i = 0; i < 8; ++i)
            QTest::newRow(kDateFormats[i]) << i;
    }
    void aDuplicateRestoresEveryReadingAndEvent() {
        QFETCH(int, item);
        const QByteArray format = kDateFormats[item];
        Harness h;
        const QList<Row> rows = SampleRows();
        QCOMPARE(h.load("run.zlx", Duplicate(ChartLines(format, rows))),
                 QByteArray("File loaded."));
        ExpectRestored(h, rows);

        State& s = h.state();
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
    }

    void thePlainChartFileIsRefused() {
        Harness h;
        const QList<QByteArray> lines = ChartLines(kDateFormats[0], SampleRows());
        QCOMPARE(h.load("run.csv", Joined(lines)), QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);
        QVERIFY(!h.state().SecureData.visible() && !h.state().FileEncryptFlag.checked());
        QVERIFY(!h.state().Errorindata.checked());

        // One plain row among encrypted ones is enough.
        QList<QByteArray> mixed = lines;
        QByteArray duplicate = Duplicate(mixed);
        duplicate += lines.last() + "\r\n";
        QCOMPARE(h.load("mixed.zlx", duplicate), QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);
    }

    void aHeaderOnlyFileLoadsAsAnEmptyChart() {
        Harness h;
        const QList<QByteArray> lines = ChartLines(kDateFormats[2], {});
        QCOMPARE(h.load("empty.zlx", Duplicate(lines)), QByteArray("File loaded."));
        ExpectEmptyChart(h);
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray(kDateFormats[2]));
        QVERIFY(h.state().SecureData.visible());
        QCOMPARE(h.state().Samplesperhour.text(), QByteArray("240"));
    }

    void overLongAndEmptyLinesFail() {
        Harness h;
        const QList<Row> rows = SampleRows();
        QList<QByteArray> lines = ChartLines(kDateFormats[0], rows);
        // "?" and 252 characters: with the line end, 254, the most a line may hold.
        lines[2] = "~User Name: " + QByteArray(240, 'n');
        QCOMPARE(h.load("longest.zlx", Duplicate(lines)), QByteArray("File loaded."));
        QCOMPARE(h.state().UserName, QByteArray(240, 'n'));
        ExpectRestored(h, rows);

        lines[2] += 'n';
        QCOMPARE(h.load("longer.zlx", Duplicate(lines)),
                 QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);

        QByteArray blank = Duplicate(ChartLines(kDateFormats[0], rows));
        blank.insert(blank.indexOf("\r\n?") + 2, "\r\n");
        QCOMPARE(h.load("blank.zlx", blank), QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);
    }

    void unreadableNumbersAndCountsFail_data() {
        QTest::addColumn<QByteArray>("fields"); // after the date-time
        QTest::addColumn<bool>("loads");
        QTest::newRow("plain") << QByteArray("20.5, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0") << true;
        QTest::newRow("10000 events")
            << QByteArray("20.5, 0, 0, 45, 1, 0, 0, 0, 0, 0, 10000") << true;
        QTest::newRow("extra fields")
            << QByteArray("20.5, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0, x") << true;
        QTest::newRow("nan") << QByteArray("nan, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("inf") << QByteArray("inf, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("-inf RH") << QByteArray("20.5, 0, 0, -inf, 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("nan RH") << QByteArray("20.5, nan") << false;
        QTest::newRow("beyond a float")
            << QByteArray("1e39, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("not a number")
            << QByteArray("20.5x, 0, 0, 45, 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("empty field") << QByteArray("20.5, , 0, 45, 1, 0, 0, 0, 0, 0, 0") << true;
        QTest::newRow("empty RH") << QByteArray("20.5, 0, 0, , 1, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("negative count")
            << QByteArray("20.5, 0, 0, 45, 1, -1, 0, 0, 0, 0, 0") << false;
        QTest::newRow("10001 events")
            << QByteArray("20.5, 0, 0, 45, 1, 0, 0, 0, 0, 0, 10001") << false;
        QTest::newRow("huge count")
            << QByteArray("20.5, 0, 0, 45, 99999999999, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("fractional count")
            << QByteArray("20.5, 0, 0, 45, 1.0, 0, 0, 0, 0, 0, 0") << false;
        QTest::newRow("field missing") << QByteArray("20.5, 0, 0, 45, 1, 0, 0, 0, 0, 0") << false;
        QTest::newRow("six commas") << QByteArray("20.5, 0, 0, 45, 1, 0, 0") << false;
    }
    void unreadableNumbersAndCountsFail() {
        QFETCH(QByteArray, fields);
        QFETCH(bool, loads);
        Harness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines.append("12/31/2009 23:59:30, " + fields);
        const QByteArray status = h.load("row.zlx", Duplicate(lines));
        QCOMPARE(status, loads ? QByteArray("File loaded.")
                               : QByteArray("Error in file. Data is corrupt."));
        QCOMPARE(h.store().Temperatures.size(), size_t(loads ? 1 : 0));
        QVERIFY(!loads || h.store().Temperatures[0] == 20.5f);
        QVERIFY(h.state().SecureData.visible() == loads);
    }

    void badDateTimesFail_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("month 13") << QByteArray("13/31/2009 23:59:30, 20.5");
        QTest::newRow("31 April") << QByteArray("04/31/2009 23:59:30, 20.5");
        QTest::newRow("hour 24") << QByteArray("12/31/2009 24:00:00, 20.5");
        QTest::newRow("letters") << QByteArray("12/xx/2009 23:59:30, 20.5");
        QTest::newRow("too short") << QByteArray("12/31/2009 23:59");
        QTest::newRow("empty after marker") << QByteArray();
    }
    void badDateTimesFail() {
        QFETCH(QByteArray, row);
        Harness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines.append(row);
        QCOMPARE(h.load("row.zlx", Duplicate(lines)),
                 QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);
    }

    void tooManyEventsInAllFail() {
        Harness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        for (int i = 0; i < 15; ++i) // 15 rows of 70,000 events: over a million
            lines.append("12/31/2009 23:59:30, 20.5, 0, 0, 45, 10000, 10000, 10000, 10000, 10000, "
                         "10000, 10000");
        QCOMPARE(h.load("events.zlx", Duplicate(lines)),
                 QByteArray("Error in file. Data is corrupt."));
        ExpectEmptyChart(h);
        QVERIFY(h.store().NewSensorEvents().empty());
    }

    // Rows of the short formats may be mixed with full rows; once a row had RH, every reading
    // has a humidity, NoReading where its row had none.
    void mixedRowFormatsKeepTheHumiditiesParallel() {
        Harness h;
        QList<QByteArray> lines = ChartLines(kDateFormats[0], {});
        lines += {"12/31/2009 23:59:30, 20.5",                  // temperature only
                  "12/31/2009 23:59:45, 21.5, 40",              // 1 comma: T, RH
                  "12/31/2009 23:59:50, 22.5, x, y",            // 2 commas: T only
                  "12/31/2009 23:59:55, 23.5, 0, 0, 41",        // 3 commas: T, RH
                  "12/31/2009 23:59:58, 24.5, 0, 0, 42, 1",     // 4 commas: T only
                  "12/31/2009 23:59:59, 25.5, 0, 0, 43, 1, 1"}; // 5 commas: T only
        QCOMPARE(h.load("mixed.zlx", Duplicate(lines)), QByteArray("File loaded."));
        const std::vector<float> celsius = {20.5f, 21.5f, 22.5f, 23.5f, 24.5f, 25.5f};
        const std::vector<float> rh = {NoReading, 40, NoReading, 41, NoReading, NoReading};
        QCOMPARE(h.store().Temperatures, celsius);
        QCOMPARE(h.store().Humidities, rh);
        QVERIFY(!h.state().RHZL.checked()); // the last row had none
        QVERIFY(h.store().NewSensorEvents().empty());
        QCOMPARE(h.state().Samplesperhour.text(), QByteArray("240"));

        // A full row with RH 0 leaves RHZL as it was.
        lines = ChartLines(kDateFormats[0], {});
        lines += {"12/31/2009 23:59:30, 20.5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0",
                  "12/31/2009 23:59:37, 20.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0"};
        QCOMPARE(h.load("t.zlx", Duplicate(lines)), QByteArray("File loaded."));
        QVERIFY(!h.state().RHZL.checked());
        QCOMPARE(h.store().Humidities, std::vector<float>({0, 0}));
        // 3600 / 7 with fifteen significant digits.
        QCOMPARE(h.state().Samplesperhour.text(), QByteArray("514.285714285714"));
    }

    void aMissingFileChangesNothing() {
        Harness h;
        const QList<Row> rows = SampleRows();
        h.load("run.zlx", Duplicate(ChartLines(kDateFormats[6], rows)));
        const QByteArray caption = h.state().Caption.text();
        h.engine->loader().LoadChartFile(h.dir.file("gone.zlx").toLocal8Bit());
        QCOMPARE(h.state().Edit1.text(), QByteArray("Cannot open file."));
        ExpectRestored(h, rows);
        QCOMPARE(h.state().Caption.text(), caption);
        QVERIFY(h.state().SecureData.visible());
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray(kDateFormats[6]));

        h.engine->loader().LoadChartFile(h.dir.path()); // a folder is no file either
        QCOMPARE(h.state().Edit1.text(), QByteArray("Cannot open file."));
        ExpectRestored(h, rows);
    }

    void foreignFilesFailClearly_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("empty") << QByteArray() << QByteArray("Date format not valid in file.");
        // Its first two lines look like two dates of one month to the guesses.
        QTest::newRow("png")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0", 29)
            << QByteArray("Error in file. Data is corrupt.");
        QTest::newRow("binary, guessed") << QByteArray("\x01\x02\x03\x32\0\xff\xfe", 7)
                                         << QByteArray("Error in file. Data is corrupt.");
        // Cut in the last row's date (the kept files hold one cut where the rest reads as a row).
        const QByteArray whole = Duplicate(ChartLines(kDateFormats[0], SampleRows()));
        QTest::newRow("cut in a date") << whole.left(whole.lastIndexOf("\r\n?") + 12)
                                       << QByteArray("Error in file. Data is corrupt.");
    }
    void foreignFilesFailClearly() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, status);
        Harness h;
        QCOMPARE(h.load("foreign.zlx", content), status);
        ExpectEmptyChart(h);
        QVERIFY(!h.state().SecureData.visible());
    }

    void theDeclaredFormatIsTakenAsItIs() {
        Harness h;
        QList<QByteArray> lines = ChartLines("yyyy/mm/dd, hh:mm:ss", SampleRows());
        // Only a line that begins with the tag counts; the first one wins.
        lines.insert(0, "~ ~Date Format: dd/mm/yyyy hh:mm:ss");
        lines.insert(2, "~Date Format: mm/dd/yyyy hh:mm:ss");
        QCOMPARE(h.load("run.zlx", Duplicate(lines, 3)), QByteArray("File loaded."));
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray("yyyy/mm/dd, hh:mm:ss"));
        ExpectRestored(h, SampleRows());

        // An unknown format is kept as it is: no menu item checks, the axis takes it.
        const QByteArray path = h.put("odd.zlx", "~Date Format: yyyy/mm/dd at hh:mm:ss\r\n");
        QVERIFY(h.engine->loader().DetectFileDateFormat(path));
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray("yyyy/mm/dd at hh:mm:ss"));
        QCOMPARE(h.engine->formats().shortDateFormat, QByteArray("yyyy/mm/dd"));
        QVERIFY(h.state().DateFormatItems[7].checked());
        QCOMPARE(h.engine->chart().TimeLabelFormat, QByteArray("yyyy/mm/dd at hh:mm:ss"));
    }

    // Without a "~Date Format: " line the format is guessed from the lines themselves.
    void aFileWithoutItsFormatLineIsGuessed() {
        Harness h;
        const QList<Row> rows = SampleRows();
        QList<QByteArray> lines = ChartLines(kDateFormats[2], rows);
        lines.removeFirst();
        // Against the filler line before it, the second character changed and the fifth did
        // not: the day changed, so the day comes first.
        lines.prepend("~1  x");
        QCOMPARE(h.load("guess.zlx", Duplicate(lines, 1)), QByteArray("File loaded."));
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray("dd/mm/yyyy hh:mm:ss"));
        QVERIFY(h.state().DateFormatItems[2].checked());
        ExpectRestored(h, rows);

        QCOMPARE(h.load("nothing.zlx", "~\r\n~\r\n"), QByteArray("Date format not valid in file."));
        ExpectRestored(h, rows);
    }

    void separatorsAndTheShortDateFormatComeBack() {
        Harness h;
        FormatSettings& f = h.engine->formats();
        f.decimalSeparator = ',';
        f.thousandSeparator = '.';
        f.dateSeparator = '.';
        f.timeSeparator = '-';
        f.shortDateFormat = "dd.mm.yyyy";
        const auto expectRestored = [&] {
            QCOMPARE(f.decimalSeparator, ',');
            QCOMPARE(f.thousandSeparator, '.');
            QCOMPARE(f.dateSeparator, '.');
            QCOMPARE(f.timeSeparator, '-');
            QCOMPARE(f.shortDateFormat, QByteArray("dd.mm.yyyy"));
        };
        QCOMPARE(h.load("run.zlx", Duplicate(ChartLines(kDateFormats[1], SampleRows()))),
                 QByteArray("File loaded."));
        ExpectRestored(h, SampleRows());
        expectRestored();
        h.load("run.csv", Joined(ChartLines(kDateFormats[1], SampleRows())));
        expectRestored();
        h.load("empty.csv", {});
        expectRestored();
    }

    // Files kept in the tree: what one version wrote must load the same in every later one.
    void keptFilesLoadAsTheyDid_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("duplicate")
            << "t_rh_gaps_events_ddmmyyyy_comma.zlx" << QByteArray("File loaded.");
        QTest::newRow("its chart") << "t_rh_gaps_events_ddmmyyyy_comma.csv"
                                   << QByteArray("Error in file. Data is corrupt.");
        QTest::newRow("cut") << "cut_after_fahrenheit_of_last_row.zlx"
                             << QByteArray("Error in file. Data is corrupt.");
        QTest::newRow("shifted") << "ampm_declared_24_hour_rows.zlx"
                                 << QByteArray("Error in file. Data is corrupt.");
    }
    void keptFilesLoadAsTheyDid() {
        QFETCH(QString, name);
        QFETCH(QByteArray, status);
        Harness h;
        h.engine->loader().LoadChartFile(QByteArray(ZANTREL_TEST_DATA "/loads/") + name.toLatin1());
        QCOMPARE(h.state().Edit1.text(), status);
        if (status == "File loaded.") {
            ExpectRestored(h, SampleRows());
            QCOMPARE(h.state().DATEFORMAT.text(), QByteArray("dd/mm/yyyy, hh:mm:ss"));
        } else {
            ExpectEmptyChart(h);
        }
    }

    void theFirstArgumentIsLoadedAtStartUp() {
        WorkDir files;
        files.put("start.zlx", Duplicate(ChartLines(kDateFormats[3], SampleRows())));
        Harness h({files.file("start.zlx")});
        QCOMPARE(h.state().Edit1.text(), QByteArray("File loaded."));
        ExpectRestored(h, SampleRows());
        QVERIFY(h.state().Caption.text().endsWith("start.zlx"));
    }

    // Load, save and load again: the same chart, but the writer adds its new sensor to the first
    // row once more, so the first reading now counts two.
    void aLoadedChartSavedAgainComesBack() {
        Harness h;
        const QList<Row> rows = SampleRows();
        h.load("first.zlx", Duplicate(ChartLines(kDateFormats[5], rows)));
        h.host.savePath = h.dir.file("again.csv").toLocal8Bit();
        h.engine->writer().SaveChartFile();
        QVERIFY(h.dir.exists("again.zlx"));
        QCOMPARE(h.load("again-copy.zlx", h.dir.read("again.zlx")), QByteArray("File loaded."));
        QCOMPARE(h.state().DATEFORMAT.text(), QByteArray(kDateFormats[5]));
        QList<Row> twice = rows;
        twice[0].events[NewSensor] = 2;
        ExpectRestored(h, twice);
    }

    void loadChartAsksForTheFile() {
        Harness h;
        const QByteArray path =
            h.put("run.zlx", Duplicate(ChartLines(kDateFormats[0], SampleRows())));
        h.engine->loader().LoaddataClick();
        QCOMPARE(h.host.openDialogs, 1);
        ExpectEmptyChart(h);

        h.host.openPath = path;
        h.engine->loader().LoaddataClick();
        QCOMPARE(h.state().Edit1.text(), QByteArray("File loaded."));
        ExpectRestored(h, SampleRows());
    }
};

QTEST_GUILESS_MAIN(ChartFileLoaderTest)
#include "chart_file_loader_test.moc"
