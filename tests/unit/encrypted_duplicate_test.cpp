// The ".zlx" duplicate: its name, its plain lines and scrambled body, a fixture that pins the
// transform and its seed for good, and duplicates that cannot be written.
#include "app/date_formats.h"
#include "app/date_time.h"
#include "app/engine.h"
#include "fake_host.h"
#include "file_size_limit.h"
#include "files/scrambling.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QDir>
#include <QtTest>
#include <memory>

using namespace zantrel;

namespace {

const QByteArray kSaved = "Data file and encrypted duplicate (*.zlx) saved.";
const QByteArray kUserBlock = "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                              "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n";

QByteArray Fixture(const QString& name) {
    QFile f(QStringLiteral(ZANTREL_TEST_DATA "/charts/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double At(int year, int month, int day, int hour, int minute, int second) {
    return *EncodeDateTime(year, month, day, hour, minute, second);
}

// The time of reading i of a series every 15 seconds from 1 March 2010 00:00:00 (one day).
double Every15s(int i) {
    const int s = 15 * i;
    return At(2010, 3, 1, s / 3600, s / 60 % 60, s % 60);
}

// The lines of a text split at CR LF; the empty text after the last line end is dropped.
QList<QByteArray> CrLfLines(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype from = 0;
    for (qsizetype end; (end = text.indexOf("\r\n", from)) >= 0; from = end + 2)
        lines << text.mid(from, end - from);
    if (from < text.size()) lines << text.mid(from);
    return lines;
}

// The body of a duplicate read back with a fresh state, "?" markers removed.
QList<QByteArray> Unscrambled(const QList<QByteArray>& body) {
    ScrambleState state;
    QList<QByteArray> plain;
    for (const QByteArray& line : body)
        plain << UnscrambleLine(state, line.mid(1));
    return plain;
}

struct Harness {
    WorkDir dir;
    TestClock clock;
    FakeHost host;
    std::unique_ptr<Engine> engine;

    Harness() {
        engine = std::make_unique<Engine>(clock, host);
        engine->FormCreate(dir.path(), {}, QByteArray("NA"));
        host.messages.clear();
    }
    State& s() { return engine->state(); }
    QByteArray pathOf(const QString& name) const { return QFile::encodeName(dir.file(name)); }
    void saveChart(const QString& name = "run.csv") {
        host.savePath = pathOf(name);
        engine->writer().SaveChartFile();
    }
    bool writeDuplicate(const QString& chartName) {
        return engine->duplicate().WriteEncryptedDuplicate(pathOf(chartName), "mm/dd/yyyy hh:mm:ss",
                                                           kUserBlock);
    }
    void addReadings(int count) {
        for (int i = 0; i < count; ++i) {
            engine->readings().ReadingTimes.push_back(Every15s(i));
            engine->readings().Temperatures.push_back(20.0f + i % 7);
        }
    }
    QByteArray lastMessage() const {
        return host.messages.isEmpty()
                   ? QByteArray()
                   : host.messages.last().title + "|" + host.messages.last().text;
    }
};

} // namespace

class EncryptedDuplicateTest : public QObject {
    Q_OBJECT
  private slots:
    void theDuplicateNameReplacesTheFileExtension_data() {
        QTest::addColumn<QByteArray>("chart");
        QTest::addColumn<QByteArray>("duplicate");
        QTest::addColumn<bool>("isDuplicateName");
        QTest::newRow("csv") << QByteArray("/data/run.csv") << QByteArray("/data/run.zlx") << false;
        QTest::newRow("txt") << QByteArray("/data/run.txt") << QByteArray("/data/run.zlx") << false;
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
        QCOMPARE(EncryptedDuplicate::DuplicateName(chart), duplicate);
        QCOMPARE(EncryptedDuplicate::HasDuplicateExtension(chart), isDuplicateName);
    }

    // Pins the layout, the transform and the seed: duplicates written today must load in
    // every later version. The fixture was computed step by step (one rotation at a time).
    void aSavedChartMatchesTheFixtureByteForByte() {
        Harness h;
        h.dir.put("USERINFO.DAT", "~User Name: \r\n~User Location: \r\n~ZL ID: \r\n"
                                  "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n");
        h.engine->ClearBuffer();
        h.clock.setNow(At(2010, 1, 1, 12, 0, 0));
        State& s = h.s();
        s.Form5.UserInfo.setText("Ann");
        s.Form5.UserLocation.setText("Lab 2");
        s.Form5.ZLInfo.setText("17");
        s.RHZL.tick();
        ReadingsStore& st = h.engine->readings();
        st.ReadingTimes = {At(2009, 12, 31, 23, 59, 30), At(2009, 12, 31, 23, 59, 45),
                           At(2010, 1, 1, 0, 0, 0), At(2010, 1, 1, 0, 0, 15)};
        st.Temperatures = {20.5f, 9999.0f, -3.5f, 21.0f};
        st.Humidities = {45.9f, 9999.0f, 50.0f, 12.3f};
        st.NewSensorEvents() = {At(2009, 12, 31, 23, 59, 0)};
        st.TempAlarmStartEvents() = {At(2009, 12, 31, 23, 59, 45)};
        st.RhAlarmStartEvents() = {At(2010, 1, 1, 0, 0, 5), At(2010, 1, 1, 0, 0, 15)};
        st.TestStartEvents() = {At(2009, 12, 31, 23, 59, 31)};
        st.TestEndEvents() = {At(2010, 1, 1, 0, 0, 16)};
        h.saveChart("small_chart.csv");
        QCOMPARE(h.dir.read("small_chart.csv"), Fixture("small_chart.csv"));
        QCOMPARE(h.dir.read("small_chart.zlx"), Fixture("small_chart.zlx"));
    }

    void theBodyHasOneEncryptedLinePerChartLine() {
        Harness h;
        h.addReadings(40); // more than 14 lines: the line counter wraps
        h.saveChart();
        const QList<QByteArray> chart = CrLfLines(h.dir.read("run.csv"));
        const QByteArray duplicate = h.dir.read("run.zlx");
        const QList<QByteArray> lines = CrLfLines(duplicate);
        QVERIFY(duplicate.endsWith("\r\n"));
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
        Harness h;
        h.dir.put("run.csv", "~a\r\nb\r\n");
        h.clock.setNow(At(2011, 6, 2, 14, 5, 9));
        QVERIFY(h.writeDuplicate("run.csv"));
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
    }
    void everyLineOfTheChartFileIsEncrypted() {
        QFETCH(QByteArray, chart);
        QFETCH(QList<QByteArray>, plain);
        Harness h;
        h.dir.put("run.csv", chart);
        QVERIFY(h.writeDuplicate("run.csv"));
        const QList<QByteArray> body = CrLfLines(h.dir.read("run.zlx")).mid(6);
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

    void aByte255DoesNotEndTheDuplicate() {
        Harness h;
        h.addReadings(20);
        h.s().Form5.UserInfo.setText("J\xffrg");
        h.saveChart();
        const QList<QByteArray> chart = CrLfLines(h.dir.read("run.csv"));
        const QList<QByteArray> body = CrLfLines(h.dir.read("run.zlx")).mid(6);
        QCOMPARE(chart[2], QByteArray("~User Name: J\xffrg"));
        QCOMPARE(body.size(), chart.size());
        const QList<QByteArray> back = Unscrambled(body);
        for (int i = 0; i < chart.size(); ++i) {
            if (i == 2) continue;
            QCOMPARE(back[i], chart[i]);
        }
        // The name comes back with a different printable character in its place.
        QCOMPARE(back[2].size(), chart[2].size());
        QVERIFY(back[2].startsWith("~User Name: J") && back[2].endsWith("rg"));
        const char c = back[2][13];
        QVERIFY(c >= 32 && c <= 126);
        QCOMPARE(h.s().Edit1.text(), kSaved);
    }

    // The loader reads data only from the duplicate: what is saved must come back, in every
    // date format, with each event at the time of the row that counted it.
    void aSavedDuplicateLoadsBack_data() {
        QTest::addColumn<QByteArray>("format");
        for (const char* format : kDateFormats)
            QTest::newRow(format) << QByteArray(format);
    }
    void aSavedDuplicateLoadsBack() {
        QFETCH(QByteArray, format);
        Harness h;
        h.s().DATEFORMAT.setText(format);
        h.s().RHZL.tick();
        ReadingsStore& st = h.engine->readings();
        for (int i = 0; i < 40; ++i) {
            st.ReadingTimes.push_back(Every15s(2870 + i)); // crosses noon
            st.Temperatures.push_back(i == 7 ? NoReading : -12.25f + i);
            st.Humidities.push_back(i == 7 ? NoReading : 30.0f + i);
        }
        st.TempAlarmStartEvents() = {Every15s(2875) - kOneSecond, Every15s(2880)};
        st.TestEndEvents() = {Every15s(2909)};
        ReadingsStore saved = st;
        h.saveChart();
        h.engine->loader().LoadChartFile(h.pathOf("run.zlx"));
        QCOMPARE(h.s().Edit1.text(), QByteArray("File loaded."));
        QCOMPARE(st.ReadingTimes, saved.ReadingTimes);
        QCOMPARE(st.Temperatures, saved.Temperatures);
        QCOMPARE(st.Humidities, saved.Humidities);
        saved.NewSensorEvents() = {saved.ReadingTimes[0]}; // the first row counts one
        saved.TempAlarmStartEvents() = {Every15s(2875), Every15s(2880)};
        QCOMPARE(st.Events, saved.Events);
    }

    void aDuplicateThatCannotBeCreatedIsReported() {
        Harness h;
        h.addReadings(3);
        QDir(h.dir.file(".")).mkdir("run.zlx");
        h.saveChart();
        QCOMPARE(
            h.lastMessage(),
            QByteArray("Problem|Cannot save encrypted file (*.zlx). Check name or folder rights."));
        QCOMPARE(h.s().Edit1.text(),
                 QByteArray("Cannot save encrypted file. Check name or folder rights."));
        QVERIFY(!h.s().SecureData.visible() && !h.s().LockImage.visible());
        QCOMPARE(CrLfLines(h.dir.read("run.csv")).size(), 11); // the chart file stays
        QVERIFY(h.s().Caption.text().endsWith(" | " + h.pathOf("run.csv")));
    }

    void aDuplicateWhoseWriteFailsKeepsTheEarlierOne() {
        Harness h;
        h.addReadings(1000);
        h.saveChart();
        const qint64 chartSize = QFileInfo(h.dir.file("run.csv")).size();
        h.dir.put("run.zlx", "earlier duplicate\r\n");
        {
            // Room for the chart file, not for its duplicate (one "?" more per line).
            FileSizeLimit full(chartSize + 200);
            h.saveChart();
        }
        QCOMPARE(h.dir.read("run.zlx"), QByteArray("earlier duplicate\r\n"));
        QCOMPARE(
            h.lastMessage(),
            QByteArray("Problem|Cannot save encrypted file (*.zlx). Check name or folder rights."));
        QCOMPARE(h.s().Edit1.text(),
                 QByteArray("Cannot save encrypted file. Check name or folder rights."));
        QVERIFY(!h.s().SecureData.visible());
        QCOMPARE(QDir(h.dir.file(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void aChartFileThatCannotBeReadIsReported() {
        Harness h;
        h.dir.put("run.zlx", "earlier duplicate\r\n");
        QVERIFY(!h.writeDuplicate("run.csv")); // no such chart file
        QCOMPARE(h.lastMessage(), QByteArray("Problem|File read error during encryption process."));
        QCOMPARE(h.s().Edit1.text(), QByteArray("File read error during encryption process."));
        QCOMPARE(h.dir.read("run.zlx"), QByteArray("earlier duplicate\r\n"));
        QVERIFY(!h.s().SecureData.visible());
    }
};

QTEST_GUILESS_MAIN(EncryptedDuplicateTest)
#include "encrypted_duplicate_test.moc"
