// Names, resume points and appends of the monthly files, on files in a temporary folder.
#include "chart/readings_store.h"
#include "core/calendar.h"
#include "day_count.h"
#include "files/monthly_files.h"
#include "work_dir.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kQuarterHour = 900 / 86400.0;

ReadingsStore Readings(double first, int count, double interval) {
    ReadingsStore store;
    for (int i = 0; i < count; ++i) {
        store.ReadingTimes.push_back(first + i * interval);
        store.Temperatures.push_back(20.0f + i);
    }
    return store;
}

MonthlyDownload Download(const QByteArray& base, double start) {
    MonthlyDownload d;
    d.base = base;
    d.start = start;
    d.interval = kQuarterHour;
    d.dateFormat = "mm/dd/yyyy hh:mm:ss";
    d.userBlock = "~User Name: A\r\n~User Location: B\r\n~ZL ID: C\r\n~PC Software Version: D\r\n";
    d.unitId = "C";
    d.now = start;
    return d;
}

} // namespace

class MonthlyFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void names_data() {
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("duplicate");
        QTest::newRow("csv") << QByteArray("/logs/site.csv") << 1
                             << QByteArray("/logs/T1200903site.csv")
                             << QByteArray("/logs/T1200903site.zlx");
        QTest::newRow("no extension")
            << QByteArray("/logs/site") << 2 << QByteArray("/logs/T2200903site.csv")
            << QByteArray("/logs/T2200903site.zlx");
        QTest::newRow("dotted folder")
            << QByteArray("/a.b/site.txt") << 1 << QByteArray("/a.b/T1200903site.txt")
            << QByteArray("/a.b/T1200903site.zlx");
    }
    void names() {
        QFETCH(QByteArray, base);
        QFETCH(int, channel);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, duplicate);
        const QByteArray monthly =
            MonthlyFiles::MonthlyFileName(base, channel, At(2009, 3, 14, 12, 0));
        QCOMPARE(monthly, name);
        QCOMPARE(MonthlyFiles::monthlyDuplicateName(monthly), duplicate);
        QCOMPARE(MonthlyFiles::numberedDuplicateName(duplicate, 3),
                 duplicate.left(duplicate.size() - 4) + "_3.zxl");
    }

    // The first reading after the newest stored row, on the logger's grid.
    void resumeTimes_data() {
        QTest::addColumn<double>("interval");
        QTest::addColumn<double>("expected");
        QTest::newRow("grid") << kQuarterHour << At(2026, 3, 30, 10, 7, 30);
        // No grid at all: the second after the stored row, never a division by zero.
        QTest::newRow("rate 0") << 0.0 << At(2026, 3, 30, 10, 0, 1);
    }
    void resumeTimes() {
        QFETCH(double, interval);
        QFETCH(double, expected);
        WorkDir dir;
        const QByteArray base = dir.file("site.csv").toLocal8Bit();
        const double first = At(2026, 3, 30, 8, 7, 30);
        const double last = At(2026, 3, 30, 12, 7, 30);
        QCOMPARE(MonthlyFiles::ResumeTimeFromMonthlyFiles(base, 1, first, last, interval, 2026),
                 first);
        // The duplicates are the record: a row in the chart file alone, or cut short in the
        // duplicate, is not stored.
        const double stored = At(2026, 3, 30, 10, 0);
        MonthlyFiles files;
        QVERIFY(files.append(Download(base, stored), Readings(stored, 1, kQuarterHour)).saved);
        dir.put("T1202603site.csv", dir.read("T1202603site.csv") +
                                        "03/30/2026 10:15:00, 20.00, 293.15, 68.00, 0, 1, 0, 0, "
                                        "0, 0, 0, 0\r\n");
        dir.put("T1202603site.zlx", dir.read("T1202603site.zlx") + "?5#");
        QByteArray holder;
        const double resume =
            MonthlyFiles::ResumeTimeFromMonthlyFiles(base, 1, first, last, interval, 2026, &holder);
        QCOMPARE(std::llround(resume * 86400), std::llround(expected * 86400));
        QCOMPARE(holder, MonthlyFiles::MonthlyFileName(base, 1, first));
    }

    // A later month's file counts even when an earlier month's is missing.
    void resumeLooksAtEveryMonthOfTheLogger() {
        WorkDir dir;
        const QByteArray base = dir.file("site.csv").toLocal8Bit();
        MonthlyFiles files;
        const double may = At(2026, 5, 2, 0, 0);
        QVERIFY(files.append(Download(base, may), Readings(may, 4, kQuarterHour)).saved);
        const double resume = MonthlyFiles::ResumeTimeFromMonthlyFiles(
            base, 1, At(2026, 3, 1, 0, 0), At(2026, 5, 3, 0, 0), kQuarterHour, 2026);
        QCOMPARE(std::llround(resume * 86400), std::llround((may + 4 * kQuarterHour) * 86400));
    }

    // A second program (a new MonthlyFiles) continues the month's duplicate itself, and so
    // does the first one after it.
    void programsContinueOneDuplicate() {
        WorkDir dir;
        const QByteArray base = dir.file("site.csv").toLocal8Bit();
        const double start = At(2026, 3, 30, 8, 0);
        MonthlyFiles first, second;
        QVERIFY(first.append(Download(base, start), Readings(start, 2, kQuarterHour)).saved);
        const double later = start + 2 * kQuarterHour;
        QVERIFY(second.append(Download(base, later), Readings(later, 2, kQuarterHour)).saved);
        const double last = later + 2 * kQuarterHour;
        QVERIFY(first.append(Download(base, last), Readings(last, 2, kQuarterHour)).saved);
        QCOMPARE(dir.read("T1202603site.zlx").count("\r\n?"), 6);
        QVERIFY(!dir.exists("T1202603site_0.zxl"));
    }
};

QTEST_GUILESS_MAIN(MonthlyFilesTest)
#include "monthly_files_test.moc"
