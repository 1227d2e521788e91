// The monthly files after a crash, a kill, a full disk or a stranger's hand: what the next
// download repairs, what it refuses and leaves as it is, and that no reading is stored twice
// or lost.
#include "file_size_limit.h"
#include "monthly_logger.h"

#include <QFile>
#include <QtTest>
#include <set>
#include <unistd.h>

using namespace zantrel;

namespace {

// The data rows of a chart file, in order.
QByteArrayList Rows(const QByteArray& chart) {
    QByteArrayList rows;
    for (const QByteArray& line : chart.split('\n'))
        if (!line.isEmpty() && !line.startsWith('~')) rows.append(line);
    return rows;
}

bool NoRowTwice(const QByteArray& chart) {
    const QByteArrayList rows = Rows(chart);
    std::set<QByteArray> times;
    for (const QByteArray& row : rows)
        times.insert(row.left(19));
    return times.size() == static_cast<std::size_t>(rows.size());
}

} // namespace

class MonthlyFilesRepairTest : public QObject {
    Q_OBJECT
  private slots:
    // A kill after the chart file's append and before the duplicate's: the next download
    // stores those readings again in both, once.
    void aKillBetweenTheTwoAppendsLosesNothing() {
        MonthlyLogger m;
        m.record(10);
        QVERIFY(m.download().saved);
        const QByteArray duplicate = m.dir().read(m.kDuplicate);
        m.record(16);
        QVERIFY(m.download().saved);
        m.dir().put(m.kDuplicate, duplicate); // as the kill left it
        m.record(20);
        QVERIFY(m.download().saved);
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());
        const QByteArray chart = m.dir().read(m.kChart);
        QCOMPARE(Rows(chart).size(), 20);
        QVERIFY(NoRowTwice(chart));
    }

    // What a crash or a lost device leaves at the end of one file or both.
    void damagedEndsAreRepaired_data() {
        QTest::addColumn<QByteArray>("chartTail");     // replaces the chart file's last bytes
        QTest::addColumn<QByteArray>("duplicateTail"); // likewise for the duplicate
        QTest::addColumn<int>("cut");                  // bytes cut off before the tail is added
        QTest::newRow("NUL bytes") << QByteArray(40, '\0') << QByteArray(40, '\0') << 0;
        QTest::newRow("garbage") << QByteArray("\x01\xfe#") << QByteArray("?\x7f") << 0;
        QTest::newRow("last rows cut") << QByteArray() << QByteArray() << 25;
        QTest::newRow("cut, then NUL") << QByteArray(512, '\0') << QByteArray(7, '\0') << 9;
    }
    void damagedEndsAreRepaired() {
        QFETCH(QByteArray, chartTail);
        QFETCH(QByteArray, duplicateTail);
        QFETCH(int, cut);
        MonthlyLogger m;
        m.record(10);
        QVERIFY(m.download().saved);
        for (const auto& [name, tail] :
             {std::pair{m.kChart, chartTail}, std::pair{m.kDuplicate, duplicateTail}}) {
            const QByteArray bytes = m.dir().read(name);
            m.dir().put(name, bytes.left(bytes.size() - cut) + tail);
        }
        for (int readings : {14, 20}) {
            m.record(readings);
            const MonthlyAppend result = m.download();
            QVERIFY2(result.saved, result.failure.constData());
        }
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());
        const QByteArray chart = m.dir().read(m.kChart);
        QVERIFY(!chart.contains('\0'));
        QCOMPARE(Rows(chart).size(), 20);
        QVERIFY(NoRowTwice(chart));
        QVERIFY(chart.endsWith("\r\n"));
    }

    // What a crash right after creating the files leaves: files that hold nothing get their
    // header, and three downloads store every reading once.
    void emptyFilesGetTheirHeader() {
        MonthlyLogger m;
        m.dir().put(m.kChart, {});
        m.dir().put(m.kDuplicate, "~Date Fo");
        for (int readings : {7, 12, 20}) {
            m.record(readings);
            QVERIFY(m.download().saved);
        }
        const QByteArray chart = m.dir().read(m.kChart);
        QVERIFY(chart.startsWith("~Date Format: mm/dd/yyyy hh:mm:ss\r\n~File Created On: "));
        QCOMPARE(chart.count("~DateTime, Celsius"), 1);
        QCOMPARE(Rows(chart).size(), 20);
        QCOMPARE(m.loaded(m.kDuplicate), m.expected());
    }

    // Files that are not this series' chart files are left as they are, with a reason.
    void strangersAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("another program's CSV")
            << MonthlyLogger::kChart << QByteArray("name,value\r\nx,1\r\n")
            << QByteArray("not a chart file");
        QTest::newRow("one line, no line end")
            << MonthlyLogger::kChart << QByteArray("name,value") << QByteArray("not a chart file");
        QTest::newRow("damaged inside")
            << MonthlyLogger::kDuplicate
            << QByteArray("~Date Format: mm/dd/yyyy hh:mm:ss\r\n~ZL ID: ZL-1\r\nplain row\r\n")
            << QByteArray("damaged");
    }
    void strangersAreRefused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, reason);
        MonthlyLogger m;
        m.dir().put(name, content);
        m.record(10);
        const MonthlyAppend result = m.download();
        QVERIFY(!result.saved);
        QVERIFY2(result.failure.contains(reason), result.failure.constData());
        QVERIFY(result.failure.contains(QFile::encodeName(m.dir().file(name))));
        QCOMPARE(m.dir().read(name), content);
    }

    void anotherLoggersFilesAreRefused() {
        MonthlyLogger m;
        m.record(10);
        QVERIFY(m.download("ZL-7").saved);
        const QByteArray chart = m.dir().read(m.kChart);
        const QByteArray duplicate = m.dir().read(m.kDuplicate);
        m.record(14);
        const MonthlyAppend result = m.download("ZL-1");
        QVERIFY(!result.saved);
        QVERIFY2(result.failure.contains("ZL ID ZL-7"), result.failure.constData());
        QCOMPARE(m.dir().read(m.kChart), chart);
        QCOMPARE(m.dir().read(m.kDuplicate), duplicate);
    }

    // A link under a monthly name is never followed, nor a dangling one created through.
    void symbolicLinksAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dangling");
        QTest::newRow("chart file") << MonthlyLogger::kChart << false;
        QTest::newRow("duplicate") << MonthlyLogger::kDuplicate << false;
        QTest::newRow("dangling") << MonthlyLogger::kChart << true;
    }
    void symbolicLinksAreRefused() {
        QFETCH(QString, name);
        QFETCH(bool, dangling);
        MonthlyLogger m;
        WorkDir elsewhere;
        const QByteArray target = QFile::encodeName(elsewhere.file("target"));
        if (!dangling) elsewhere.put("target", "kept\r\n");
        QCOMPARE(::symlink(target.constData(), QFile::encodeName(m.dir().file(name)).constData()),
                 0);
        m.record(10);
        const MonthlyAppend result = m.download();
        QVERIFY(!result.saved);
        QVERIFY2(result.failure.contains("symbolic link"), result.failure.constData());
        QCOMPARE(elsewhere.exists("target"), !dangling);
        if (!dangling) QCOMPARE(elsewhere.read("target"), QByteArray("kept\r\n"));
    }

    // A full disk gives the system's reason and leaves both files as they were.
    void aFullDiskSaysWhy() {
        MonthlyLogger m;
        m.record(10);
        QVERIFY(m.download().saved);
        const QByteArray chart = m.dir().read(m.kChart);
        const QByteArray duplicate = m.dir().read(m.kDuplicate);
        m.record(40);
        MonthlyAppend result;
        {
            FileSizeLimit limit(chart.size() + 200);
            result = m.download();
        }
        QVERIFY(!result.saved);
        QVERIFY2(result.failure.contains("File too large"), result.failure.constData());
        QCOMPARE(m.dir().read(m.kChart), chart);
        QCOMPARE(m.dir().read(m.kDuplicate), duplicate);
    }

    // The duplicate carries the whole row: alarm and test marks load back from it.
    void theDuplicateKeepsTheEvents() {
        MonthlyLogger m;
        m.record(10);
        m.readings().Events[TempAlarmStart] = {m.time(3)};
        m.readings().Events[TestStart] = {m.time(5), m.time(5)};
        QVERIFY(m.download().saved);
        const QByteArray bytes = m.dir().read(m.kDuplicate);
        const ChartParse parse =
            ParseChartFile(std::string_view(bytes.constData(), bytes.size()), 2026);
        QVERIFY(parse.chart);
        const ReadingsStore& store = parse.chart->readings;
        QCOMPARE(store.Events[TempAlarmStart], std::vector<double>{store.ReadingTimes[3]});
        QCOMPARE(store.Events[TestStart].size(), std::size_t(2));
        QCOMPARE(store.Events[NewSensor].size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(MonthlyFilesRepairTest)
#include "monthly_files_repair_test.moc"
