// The ".zlx" duplicate: its name, its plain lines and scrambled body, a fixture that pins the
// transform and its seed for good, and duplicates that cannot be written.
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "core/state.h"
#include "file_size_limit.h"
#include "files/encrypted_duplicate.h"
#include "files/scrambling.h"

#include <QDir>
#include <QtTest>

using namespace zantrel;

namespace {

const QByteArray kUserBlock = "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                              "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n";

const QByteArray kCannotSaveMessage =
    "Problem|Cannot save encrypted file (*.zlx). Check name or folder rights.";
const QByteArray kCannotSaveStatus = "Cannot save encrypted file. Check name or folder rights.";

QByteArray Fixture(const QString& name) {
    QFile f(QStringLiteral(ZANTREL_TEST_DATA "/charts/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The body of a duplicate read back with a fresh state, "?" markers removed.
QList<QByteArray> Unscrambled(const QList<QByteArray>& body) {
    ScrambleState state;
    QList<QByteArray> plain;
    for (const QByteArray& line : body)
        plain << UnscrambleLine(state, line.mid(1));
    return plain;
}

bool WriteDuplicate(ChartFileHarness& h, const QString& chartName) {
    return h.engine->duplicate().WriteEncryptedDuplicate(h.pathOf(chartName), "mm/dd/yyyy hh:mm:ss",
                                                         kUserBlock);
}

} // namespace

class EncryptedDuplicateTest : public QObject {
    Q_OBJECT
  private slots:
    void theDuplicateNameReplacesTheFileExtension_data() {
        QTest::addColumn<QByteArray>("chart");
        QTest::addColumn<QByteArray>("duplicate");
        QTest::addColumn<bool>("isDuplicateName");
        QTest::newRow("csv") << QByteArray("/data/run.csv") << QByteArray("/data/run.zlx") << false;
        QTest::newRow("no extension, dotted folder")
            << QByteArray("/data/v1.2/run") << QByteArray("/data/v1.2/run.zlx") << false;
        QTest::newRow("two dots") << QByteArray("/d/run.2010.csv") << QByteArray("/d/run.2010.zlx")
                                  << false;
        QTest::newRow("trailing dot") << QByteArray("/d/run.") << QByteArray("/d/run.zlx") << false;
        QTest::newRow("relative") << QByteArray("run") << QByteArray("run.zlx") << false;
        QTest::newRow("zlx") << QByteArray("/d/run.zlx") << QByteArray("/d/run.zlx") << true;
        QTest::newRow("ZLX") << QByteArray("/d/run.ZLX") << QByteArray("/d/run.zlx") << true;
        QTest::newRow("zlx folder")
            << QByteArray("/d.zlx/run") << QByteArray("/d.zlx/run.zlx") << false;
        QTest::newRow("zlxx") << QByteArray("/d/run.zlxx") << QByteArray("/d/run.zlx") << false;
    }
    void theDuplicateNameReplacesTheFileExtension() {
        QFETCH(QByteArray, chart);
        QFETCH(QByteArray, duplicate);
        QFETCH(bool, isDuplicateName);
        QCOMPARE(EncryptedDuplicate::duplicateName(chart), duplicate);
        QCOMPARE(EncryptedDuplicate::hasDuplicateExtension(chart), isDuplicateName);
    }

    // Pins the layout, the transform and the seed: duplicates written today must load in
    // every later version. The fixture was computed step by step (one rotation at a time).
    // Its chart file pins the header block and the fields of the rows.
    void aSavedChartMatchesTheFixtureByteForByte() {
        ChartFileHarness h;
        h.dir.put("USERINFO.DAT", "~User Name: \r\n~User Location: \r\n~ZL ID: \r\n"
                                  "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n");
        h.engine->ClearBuffer();
        h.clock.setNow(At(2010, 1, 1, 12, 0, 0));
        State& s = h.s();
        s.Form5.UserInfo.setText("Ann");
        s.Form5.UserLocation.setText("Lab 2");
        s.Form5.ZLInfo.setText("17");
        s.RHZL.tick();
        ReadingsStore& st = h.store();
        st.ReadingTimes = {At(2009, 12, 31, 23, 59, 30), At(2009, 12, 31, 23, 59, 45),
                           At(2010, 1, 1, 0, 0, 0), At(2010, 1, 1, 0, 0, 15)};
        st.Temperatures = {20.5f, 9999.0f, -3.5f, 21.0f};
        st.Humidities = {45.9f, 9999.0f, 50.0f, 12.3f};
        st.NewSensorEvents() = {At(2009, 12, 31, 23, 59, 0)};
        st.TempAlarmStartEvents() = {At(2009, 12, 31, 23, 59, 45)};
        st.RhAlarmStartEvents() = {At(2010, 1, 1, 0, 0, 5), At(2010, 1, 1, 0, 0, 15)};
        st.TestStartEvents() = {At(2009, 12, 31, 23, 59, 31)};
        st.TestEndEvents() = {At(2010, 1, 1, 0, 0, 16)};
        h.save("small_chart.csv");
        QCOMPARE(h.dir.read("small_chart.csv"), Fixture("small_chart.csv"));
        QCOMPARE(h.dir.read("small_chart.zlx"), Fixture("small_chart.zlx"));

        st = ReadingsStore(); // without readings the chart file holds its header block only
        QCOMPARE(h.save("header.csv"), CrLfLines(Fixture("small_chart.csv")).mid(0, 8));
    }

    void theBodyHasOneEncryptedLinePerChartLine() {
        ChartFileHarness h;
        h.addReadings(40); // more than 14 lines: the line counter wraps
        h.save();
        const QList<QByteArray> chart = CrLfLines(h.dir.read("run.csv"));
        const QList<QByteArray> lines = CrLfLines(h.dir.read("run.zlx"));
        QCOMPARE(lines.size(), 6 + chart.size());
        QCOMPARE(lines.mid(0, 6), chart.mid(0, 6)); // the same creation time here
        const QList<QByteArray> body = lines.mid(6);
        for (const QByteArray& line : body)
            QVERIFY2(line.startsWith('?'), line);
        // Unscrambling from a fresh state gives the chart file back: the plain lines did not
        // advance the state, and no CR was scrambled into the body.
        QCOMPARE(Unscrambled(body), chart);
        QCOMPARE(h.s().Edit1.text(), kSaved);
    }

    void thePlainLinesTakeTheTimeAgain() {
        ChartFileHarness h;
        h.dir.put("run.csv", "~a\r\nb\r\n");
        h.clock.setNow(At(2011, 6, 2, 14, 5, 9));
        QVERIFY(WriteDuplicate(h, "run.csv"));
        const QList<QByteArray> lines = CrLfLines(h.dir.read("run.zlx"));
        QCOMPARE(lines.mid(0, 2), (QList<QByteArray>{"~Date Format: mm/dd/yyyy hh:mm:ss",
                                                     "~File Created On: 06/02/2011 14:05:09"}));
        QCOMPARE(lines.mid(2, 4), CrLfLines(kUserBlock));
        QCOMPARE(Unscrambled(lines.mid(6)), (QList<QByteArray>{"~a", "b"}));
        QVERIFY(h.s().SecureData.visible() && h.s().LockImage.visible());
    }

    // In the expected lines a CR stands for any printable character: a CR inside a line is
    // scrambled like any byte outside 32..126 and comes back as something else.
    void everyLineOfTheChartFileIsEncrypted_data() {
        QTest::addColumn<QByteArray>("chart");
        QTest::addColumn<QList<QByteArray>>("plain");
        QTest::newRow("empty lines")
            << QByteArray("~a\r\n\r\n\r\nb\r\n") << QList<QByteArray>{"~a", "", "", "b"};
        QTest::newRow("line feeds alone") << QByteArray("~a\nb\n") << QList<QByteArray>{"~a", "b"};
        QTest::newRow("last line not ended")
            << QByteArray("~a\r\nb") << QList<QByteArray>{"~a", "b"};
        QTest::newRow("lone CR") << QByteArray("~a\rb\r\n") << QList<QByteArray>{"~a\rb"};
        QTest::newRow("CR at the end") << QByteArray("~a\r") << QList<QByteArray>{"~a\r"};
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        // Read as a signed character, byte 255 is the end-of-file value: it must not end it.
        QTest::newRow("byte 255 does not end it")
            << QByteArray("~J\xffrg\r\nb\r\n") << QList<QByteArray>{"~J\rrg", "b"};
    }
    void everyLineOfTheChartFileIsEncrypted() {
        QFETCH(QByteArray, chart);
        QFETCH(QList<QByteArray>, plain);
        ChartFileHarness h;
        h.dir.put("run.csv", chart);
        QVERIFY(WriteDuplicate(h, "run.csv"));
        QByteArray duplicate = h.dir.read("run.zlx");
        if (!chart.isEmpty() && !chart.endsWith('\n'))
            duplicate += "\r\n"; // its last line is left unended as the chart's was
        const QList<QByteArray> body = CrLfLines(duplicate).mid(6);
        QCOMPARE(body.size(), plain.size());
        const QList<QByteArray> back = Unscrambled(body);
        for (int i = 0; i < body.size(); ++i) {
            QVERIFY(body[i].startsWith('?'));
            QCOMPARE(back[i].size(), plain[i].size());
            for (int j = 0; j < plain[i].size(); ++j) {
                const char c = back[i][j];
                if (plain[i][j] == '\r')
                    QVERIFY(c >= 32 && c <= 126);
                else
                    QCOMPARE(c, plain[i][j]);
            }
        }
    }

    // Both files or neither: a chart file whose duplicate cannot be written is not put in
    // place either, so no chart file stands beside a duplicate that does not match it.
    void aDuplicateThatCannotBeCreatedIsReported() {
        ChartFileHarness h;
        h.addReadings(3);
        QDir(h.dir.file(".")).mkdir("run.zlx");
        const QByteArray caption = h.s().Caption.text();
        h.save();
        QCOMPARE(h.lastMessage(), kCannotSaveMessage);
        QCOMPARE(h.s().Edit1.text(), kCannotSaveStatus);
        QVERIFY(!h.s().SecureData.visible() && !h.s().LockImage.visible());
        QVERIFY(!h.dir.exists("run.csv"));
        QCOMPARE(h.s().Caption.text(), caption);
        QCOMPARE(QDir(h.dir.file(".")).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void aDuplicateWhoseWriteFailsKeepsTheEarlierPair() {
        ChartFileHarness h;
        h.addReadings(1000);
        h.save();
        const QByteArray earlierChart = h.dir.read("run.csv");
        const qint64 chartSize = earlierChart.size();
        h.dir.put("run.zlx", "earlier duplicate\r\n");
        h.store().Temperatures.back() = 21.5f; // the new chart differs from the earlier one
        {
            // Room for the chart file, not for its duplicate (one "?" more per line).
            FileSizeLimit full(chartSize + 200);
            h.save();
        }
        QCOMPARE(h.dir.read("run.zlx"), QByteArray("earlier duplicate\r\n"));
        QCOMPARE(h.dir.read("run.csv"), earlierChart);
        QCOMPARE(h.lastMessage(), kCannotSaveMessage);
        QCOMPARE(h.s().Edit1.text(), kCannotSaveStatus);
        QVERIFY(!h.s().SecureData.visible());
        QCOMPARE(QDir(h.dir.file(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void aChartFileThatCannotBeReadIsReported() {
        ChartFileHarness h;
        h.dir.put("run.zlx", "earlier duplicate\r\n");
        QVERIFY(!WriteDuplicate(h, "run.csv")); // no such chart file
        QCOMPARE(h.lastMessage(), QByteArray("Problem|File read error during encryption process."));
        QCOMPARE(h.s().Edit1.text(), QByteArray("File read error during encryption process."));
        QCOMPARE(h.dir.read("run.zlx"), QByteArray("earlier duplicate\r\n"));
        QVERIFY(!h.s().SecureData.visible());
    }
};

QTEST_GUILESS_MAIN(EncryptedDuplicateTest)
#include "encrypted_duplicate_test.moc"
