// "Save Chart" through the engine: the rows' fields and event counts, the date format's
// shape, the forced separators, the user values, the caption, and saves that must not succeed.
// The header block and a whole small chart are pinned byte for byte in the duplicate's test.
#include "chart/chart_model.h"
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "core/format_settings.h"
#include "core/state.h"
#include "file_size_limit.h"
#include "files/chart_file_writer.h"

#include <QDir>
#include <QtTest>

using namespace zantrel;

namespace {

const QByteArray kCannotSave = "Cannot save file. Check name or folder rights.";

// The data rows of a save: the lines after the eight header lines.
QList<QByteArray> Rows(ChartFileHarness& h) {
    return h.save().mid(8);
}

} // namespace

class ChartFileWriterTest : public QObject {
    Q_OBJECT
  private slots:
    // The rest of the fixed formats is pinned by the kept small chart.
    void readingFieldsFollowTheFixedFormats_data() {
        QTest::addColumn<float>("celsius");
        QTest::addColumn<float>("humidity");
        QTest::addColumn<bool>("rhzl");
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("no RH channel")
            << 20.5f << 45.9f << false << QByteArray("20.50, 293.65, 68.90, 0");
        QTest::newRow("RH toward zero")
            << 0.0f << -0.5f << true << QByteArray("0.00, 273.15, 32.00, 0");
        QTest::newRow("just under no reading")
            << 9998.99f << 99.99f << true << QByteArray("9998.99, 10272.14, 18030.18, 99");
    }
    void readingFieldsFollowTheFixedFormats() {
        QFETCH(float, celsius);
        QFETCH(float, humidity);
        QFETCH(bool, rhzl);
        QFETCH(QByteArray, fields);
        ChartFileHarness h;
        h.s().RHZL.set(rhzl);
        h.addReadings(1);
        h.store().Temperatures[0] = celsius;
        h.store().Humidities.push_back(humidity);
        QCOMPARE(Rows(h),
                 QList<QByteArray>{"03/01/2010 00:00:00, " + fields + ", 1, 0, 0, 0, 0, 0, 0"});
    }

    void missingHumiditiesAreWrittenAsZero() {
        ChartFileHarness h;
        h.s().RHZL.tick();
        h.addReadings(3);
        h.store().Humidities = {41.2f};
        const QList<QByteArray> rows = Rows(h);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows[0].startsWith("03/01/2010 00:00:00, 20.00, 293.15, 68.00, 41, "));
        QVERIFY(rows[1].startsWith("03/01/2010 00:00:15, 20.00, 293.15, 68.00, 0, "));
        QVERIFY(rows[2].startsWith("03/01/2010 00:00:30, 20.00, 293.15, 68.00, 0, "));
    }

    // Every format is also saved and loaded back in the loader's test.
    void theDateFormatShapesRowsAndColumnHeader_data() {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("rowStart");
        QTest::addColumn<QByteArray>("columnsStart");
        QTest::newRow("two fields")
            << QByteArray("mm/dd/yyyy, hh:mm:ss") << QByteArray("12/31/2009, 23:59:58, 20.00")
            << QByteArray("~Date, Time, Celsius");
        QTest::newRow("12-hour") << QByteArray("mm/dd/yyyy hh:mm:ss AM/PM")
                                 << QByteArray("12/31/2009 11:59:58 PM, 20.00")
                                 << QByteArray("~DateTime, Celsius");
        // A hand-edited settings file may end with a line break: it must not split lines.
        QTest::newRow("line break in the setting")
            << QByteArray("mm/dd/yyyy hh:mm:ss\r\n") << QByteArray("12/31/2009 23:59:58, 20.00")
            << QByteArray("~DateTime, Celsius");
    }
    void theDateFormatShapesRowsAndColumnHeader() {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, rowStart);
        QFETCH(QByteArray, columnsStart);
        ChartFileHarness h;
        h.s().DATEFORMAT.setText(format);
        h.addReadings(1);
        h.store().ReadingTimes[0] = At(2009, 12, 31, 23, 59, 58);
        const QList<QByteArray> lines = h.save();
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], "~Date Format: " + QByteArray(format).replace("\r\n", ""));
        QVERIFY2(lines[7].startsWith(columnsStart), lines[7]);
        QVERIFY2(lines[8].startsWith(rowStart + ", "), lines[8]);
    }
    void eventsAreCountedOnTheFirstRowAtOrAfterThem() {
        ChartFileHarness h;
        h.addReadings(8); // 00:00:00, 00:00:15 ... 00:01:45
        ReadingsStore& st = h.store();
        st.NewSensorEvents() = {At(2010, 2, 28, 23, 0, 0), At(2010, 3, 1, 0, 1, 5),
                                At(2010, 3, 1, 0, 1, 15)};      // before row 1, twice on row 6
        st.TempAlarmStartEvents() = {At(2010, 3, 1, 0, 0, 30)}; // exactly reading 3
        st.RhAlarmStartEvents() = {At(2010, 3, 1, 0, 0, 31)};   // row 4
        st.TempAlarmEndEvents() = {At(2010, 3, 1, 0, 0, 44), At(2010, 3, 1, 0, 0, 45)};
        st.RhAlarmEndEvents() = {At(2010, 3, 1, 0, 1, 46)}; // after the last reading
        st.TestStartEvents() = {At(2010, 2, 1, 0, 0, 0)};   // row 1
        st.TestEndEvents() = {At(2010, 3, 1, 0, 1, 45)};    // the last row
        QList<QByteArray> counts;
        for (const QByteArray& row : Rows(h))
            counts << row.mid(row.indexOf(", 68.00, 0, ") + 12);
        const QList<QByteArray> expected = {"2, 0, 0, 0, 0, 1, 0", "0, 0, 0, 0, 0, 0, 0",
                                            "0, 1, 0, 0, 0, 0, 0", "0, 0, 1, 2, 0, 0, 0",
                                            "0, 0, 0, 0, 0, 0, 0", "2, 0, 0, 0, 0, 0, 0",
                                            "0, 0, 0, 0, 0, 0, 0", "0, 0, 0, 0, 0, 0, 1"};
        QCOMPARE(counts, expected);
    }

    void separatorsAreForcedDuringTheSaveAndRestoredAfterIt() {
        ChartFileHarness h;
        FormatSettings& f = h.engine->formats();
        const auto current = [&f] {
            const char now[] = {f.decimalSeparator, f.thousandSeparator, f.dateSeparator,
                                f.timeSeparator};
            return QByteArray(now, sizeof now);
        };
        QByteArray duringDialog;
        h.host.duringSaveDialog = [&] { duringDialog = current(); };
        h.addReadings(1);
        h.store().Temperatures[0] = 20.5f;
        f.decimalSeparator = ',';
        f.thousandSeparator = '.';
        f.dateSeparator = '-';
        f.timeSeparator = '.';
        const QList<QByteArray> rows = Rows(h);
        QCOMPARE(duringDialog, QByteArray(".,/:"));
        QCOMPARE(current(), QByteArray(",.-."));
        QVERIFY2(rows[0].startsWith("03/01/2010 00:00:00, 20.50, 293.65, 68.90"), rows[0]);

        h.host.savePath.reset(); // cancelled
        h.engine->writer().SaveChartFile();
        QCOMPARE(current(), QByteArray(",.-."));
        h.host.savePath = h.pathOf("missing/run.csv"); // cannot be created
        h.engine->writer().SaveChartFile();
        QCOMPARE(current(), QByteArray(",.-."));
    }

    void theVerifiedUserFieldsAreWrittenAndKept() {
        ChartFileHarness h;
        h.s().SoftwareVersion = "Zantrel(tm) - Version 5.2.1";
        // The dialog has already removed every "~"; ": " inside a value is kept as typed.
        h.s().Form5.UserInfo.setText("AB");
        h.s().Form5.UserLocation.setText("Lab: 2: north");
        h.s().Form5.ZLInfo.setText("");
        const QList<QByteArray> lines = h.save();
        QCOMPARE(lines.mid(2, 4),
                 (QList<QByteArray>{"~User Name: AB", "~User Location: Lab: 2: north", "~ZL ID: ",
                                    "~PC Software Version: Zantrel(tm) - Version 5.2.1"}));
        QCOMPARE(h.s().UserName, QByteArray("AB"));
        QCOMPARE(h.s().UserLocation, QByteArray("Lab: 2: north"));
        QCOMPARE(h.s().UnitId, QByteArray());
        QCOMPARE(h.s().SoftwareVersion, QByteArray("Zantrel(tm) - Version 5.2.1"));
        QVERIFY2(h.engine->chart().Foot.contains("User=AB  Location=Lab: 2: north"),
                 h.engine->chart().Foot.join('|'));
    }

    void aSaveNamesTheFileInTheCaptionAndTheAutoFileSlot_data() {
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<QByteArray>("captionEnd");
        QTest::newRow("no suffix") << QByteArray() << QByteArray();
        QTest::newRow("channel") << QByteArray("Channel 1") << QByteArray(" | Channel 1");
    }
    void aSaveNamesTheFileInTheCaptionAndTheAutoFileSlot() {
        QFETCH(QByteArray, suffix);
        QFETCH(QByteArray, captionEnd);
        ChartFileHarness h;
        h.s().CaptionSuffix = suffix;
        h.addReadings(1);
        h.save();
        const QByteArray path = h.pathOf("run.csv");
        QCOMPARE(h.s().Caption.text(), "Zantrel(tm) - Version 5.2.1 | " + path + captionEnd);
        QCOMPARE(h.s().Edit2.text(), path);
        QCOMPARE(h.s().Edit1.text(), kSaved);
        QVERIFY(h.s().SecureData.visible() && h.s().LockImage.visible());
        QVERIFY(h.host.messages.isEmpty());
    }

    void aCancelledDialogWritesNothing() {
        ChartFileHarness h;
        h.addReadings(1);
        h.s().Edit1.setText("before");
        h.engine->writer().SaveChartFile();
        QCOMPARE(h.host.saveDialogs, 1);
        QVERIFY(QDir(h.dir.file(".")).entryList(QDir::Files).filter(".csv").isEmpty());
        QCOMPARE(h.s().Edit1.text(), QByteArray("before"));
        QVERIFY(h.host.messages.isEmpty());
        QCOMPARE(h.s().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1"));
    }

    void aFileThatCannotBeCreatedIsReported_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent is a file") << QString("plain.txt/run.csv");
        QTest::newRow("name too long") << QString(300, 'n') + ".csv";
        QTest::newRow("a folder") << QString("folder.csv");
    }
    void aFileThatCannotBeCreatedIsReported() {
        QFETCH(QString, name);
        ChartFileHarness h;
        h.dir.put("plain.txt", "x");
        QDir(h.dir.file(".")).mkdir("folder.csv");
        h.addReadings(2);
        h.save(name);
        QCOMPARE(h.lastMessage(), "Problem|" + kCannotSave);
        QCOMPARE(h.host.messages.size(), 1);
        QCOMPARE(h.s().Edit1.text(), kCannotSave);
        QCOMPARE(h.s().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1"));
        QVERIFY(QDir(h.dir.file(".")).entryList(QDir::Files).filter(".zlx").isEmpty());
        QVERIFY(QFileInfo(h.dir.file("folder.csv")).isDir());
    }

    void aFailedWriteKeepsTheEarlierFile() {
        ChartFileHarness h;
        h.addReadings(2000); // about 150 kB of rows
        h.dir.put("run.csv", "earlier chart\r\n");
        h.dir.put("run.zlx", "earlier duplicate\r\n");
        {
            FileSizeLimit full(16 * 1024);
            h.save();
        }
        QCOMPARE(h.dir.read("run.csv"), QByteArray("earlier chart\r\n"));
        QCOMPARE(h.dir.read("run.zlx"), QByteArray("earlier duplicate\r\n"));
        QCOMPARE(h.lastMessage(), "Problem|" + kCannotSave);
        QCOMPARE(h.s().Edit1.text(), kCannotSave);
        QCOMPARE(h.s().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1"));
        QVERIFY(!h.s().SecureData.visible());
        // Nothing half-written is left beside the file.
        QCOMPARE(QDir(h.dir.file(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);

        h.save(); // the same save without the limit succeeds
        QCOMPARE(h.s().Edit1.text(), kSaved);
        QCOMPARE(CrLfLines(h.dir.read("run.csv")).size(), 2008);
    }

    void aChartFileNamedLikeItsDuplicateIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower case") << QString("run.zlx");
        QTest::newRow("mixed case") << QString("run.Zlx");
    }
    void aChartFileNamedLikeItsDuplicateIsRefused() {
        QFETCH(QString, name);
        ChartFileHarness h;
        h.addReadings(2);
        h.dir.put(name, "earlier duplicate\r\n");
        h.s().Edit2.setText("auto.csv");
        h.save(name);
        QCOMPARE(h.dir.read(name), QByteArray("earlier duplicate\r\n"));
        QCOMPARE(QDir(h.dir.file(".")).entryList(QDir::Files).size(), 1);
        QCOMPARE(h.host.messages.size(), 1);
        QVERIFY(h.lastMessage().startsWith("Problem|Cannot save a chart file with the extension"));
        QCOMPARE("Problem|" + h.s().Edit1.text(), h.lastMessage());
        QCOMPARE(h.s().Edit2.text(), QByteArray("auto.csv"));
        QCOMPARE(h.s().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1"));
    }
};

QTEST_GUILESS_MAIN(ChartFileWriterTest)
#include "chart_file_writer_test.moc"
