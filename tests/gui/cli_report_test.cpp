// zantrel-cli report on chart files the tests save: the PDF's text against zantrel-cli stats
// --json for the same options, the page count a month's report keeps to, the review block with
// and without a reviewer, Fahrenheit, and the failures that leave no report.
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "chart_pieces.h"
#include "cli_result.h"
#include "core/calendar.h"
#include "core/state.h"
#include "pdf_text.h"
#include "zantrel_version.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <memory>

using namespace zantrel;

namespace {

// 30 days of readings every 15 seconds from 1 March 2026 12:00:00: 31 calendar days, the
// first and the last only in part.
constexpr int kMonthReadings = 172800;
constexpr int kPerDay = 5760;
// The pages the layout promises for such a month.
constexpr int kMonthPages = 3;

double MonthTime(int i) {
    return At(2026, 3, 1, 12, 0, 0) + i * 15 * kOneSecond;
}

// A fridge at 5 C swinging 1.5 C over each day, with 50-minute runs above 8 C on three days
// (alarms with their ends, the last one's end missing), 25 minutes below 2 C, a run above of
// 2.5 minutes (shorter than a 10-minute delay) and a gap reading.
void SaveMonth(ChartFileHarness& h) {
    ReadingsStore& r = h.store();
    r.ReadingTimes.reserve(kMonthReadings);
    r.Temperatures.reserve(kMonthReadings);
    for (int i = 0; i < kMonthReadings; ++i) {
        r.ReadingTimes.push_back(MonthTime(i));
        r.Temperatures.push_back(
            static_cast<float>(5 + 1.5 * std::sin(2 * M_PI * (i % kPerDay) / kPerDay)));
    }
    for (const int day : {4, 11, 19}) {
        const int first = day * kPerDay + 1000;
        for (int i = first; i < first + 200; ++i)
            r.Temperatures[i] = 9.0f + static_cast<float>(i - first) / 100;
        r.TempAlarmStartEvents().push_back(MonthTime(first + 10));
        if (day != 19) r.TempAlarmEndEvents().push_back(MonthTime(first + 200));
    }
    for (int i = 24 * kPerDay + 3000; i < 24 * kPerDay + 3100; ++i)
        r.Temperatures[i] = 1.25f;
    for (int i = 7 * kPerDay; i < 7 * kPerDay + 10; ++i)
        r.Temperatures[i] = 8.5f;
    r.Temperatures[50000] = NoReading;
    h.s().RHZL.set(false);
    h.s().Form5.ZLInfo.setText("ZL-0042");
    h.s().Form5.UserInfo.setText("Vaccine store");
    h.s().Form5.UserLocation.setText("Fridge 2");
    QCOMPARE(h.save("month.csv").isEmpty(), false);
    QCOMPARE(h.s().Edit1.text(), kSaved);
}

// A JSON time as the report shows it in the files' date format: "2026-03-05T13:00:00" as
// "03/05/2026 13:00:00".
QString Shown(const QJsonValue& time) {
    const QDateTime t = QDateTime::fromString(time.toString(), Qt::ISODate);
    return t.toString("MM/dd/yyyy HH:mm:ss");
}

QString Celsius(const QJsonValue& value) {
    return QString::number(value.toDouble(), 'f', 2) + " C";
}

// Hours as h:mm:ss.
QString Duration(const QJsonValue& hours) {
    const long long s = std::llround(hours.toDouble() * 3600);
    return QString("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
}

// Whether text holds pattern at the start of a line or of a column (after two blanks or more),
// each blank of the pattern standing for one or more.
bool HasLine(const QString& text, const QString& pattern) {
    QString expression = QRegularExpression::escape(pattern);
    expression.replace("\\ ", "\\s+");
    static const QRegularExpression::PatternOption kLines = QRegularExpression::MultilineOption;
    return QRegularExpression("(^|\\s\\s)\\s*" + expression, kLines).match(text).hasMatch();
}

#define QVERIFY_LINE(text, pattern)                                                                \
    QVERIFY2(HasLine(text, pattern), qPrintable(QString("no line '%1' in:\n%2").arg(pattern, text)))

} // namespace

class CliReportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ChartFileHarness> month_;

    // The report of the record LoggerRecord() saved as small.zlx, with options; its text.
    QString smallReport(ChartFileHarness& h, const QStringList& options) {
        SavePiece(h, LoggerRecord(), "small");
        const CliResult run =
            RunCliIn(h.dir, QStringList{"report", "small.zlx", "--out", "small.pdf"} + options);
        if (run.status != ExitSuccess) qWarning() << run.err;
        return PdfPagesText(h.dir.file("small.pdf")).join('\f');
    }

  private slots:
    void initTestCase() {
        month_ = std::make_unique<ChartFileHarness>();
        SaveMonth(*month_);
    }

    // Every figure of the month's report is the one stats gives for the same options.
    void monthAgainstStats() {
        const QStringList options = {"--low", "2", "--high", "8", "--delay", "10"};
        const WorkDir& dir = month_->dir;
        const QJsonObject stats =
            RunCliIn(dir, QStringList{"stats", "month.zlx", "--json"} + options).json();
        const CliResult run =
            RunCliIn(dir, QStringList{"report", "month.zlx", "--out", "month.pdf"} + options);
        QCOMPARE(run.status, ExitSuccess);
        const QString pdf = dir.file("month.pdf");
        QCOMPARE(run.lastErrLine(), "Report written: " + pdf.toUtf8());
        QCOMPARE(PdfPageCount(pdf), kMonthPages);
        const QStringList pages = PdfPagesText(pdf);
        QCOMPARE(pages.size(), kMonthPages);
        for (int k = 0; k < kMonthPages; ++k)
            QVERIFY_LINE(
                pages[k],
                QString("Zantrel %1 compliance report, ZL ID ZL-0042").arg(ZANTREL_VERSION) +
                    QString(", made 01/01/2010 12:00:00 Page %1 of %2")
                        .arg(k + 1)
                        .arg(kMonthPages));
        const QString text = pages.join('\n');
        // The chart of the period under the title block.
        QVERIFY_LINE(pages[0].section("\nChart\n", 1), "Temperature, degrees Celsius");

        QVERIFY_LINE(text, "ZL ID ZL-0042");
        QVERIFY_LINE(text, "User name Vaccine store");
        QVERIFY_LINE(text, "User location Fridge 2");
        QVERIFY_LINE(text, "Source files month.zlx");
        QVERIFY_LINE(text, "Encrypted duplicates yes, every file");
        QVERIFY_LINE(text, "Software Zantrel " ZANTREL_VERSION);
        QVERIFY_LINE(text, "Report made 01/01/2010 12:00:00");
        QVERIFY_LINE(text, "Period " + Shown(stats["from"]) + " to " + Shown(stats["to"]));

        const QJsonObject c = stats["celsius"].toObject();
        QVERIFY_LINE(text, "Lowest " + Celsius(c["min"]));
        QVERIFY_LINE(text, "Lowest at " + Shown(c["min_time"]));
        QVERIFY_LINE(text, "Highest " + Celsius(c["max"]));
        QVERIFY_LINE(text, "Highest at " + Shown(c["max_time"]));
        QVERIFY_LINE(text, "Mean " + Celsius(c["mean"]));
        QVERIFY_LINE(text, "Mean kinetic temperature " + Celsius(c["mkt"]));
        QVERIFY_LINE(text, "Activation energy 83.144 kJ/mol");
        QVERIFY_LINE(text, "MKT window " + Shown(stats["from"]) + " to " + Shown(stats["to"]));
        QVERIFY_LINE(text, "Readings " + QString::number(stats["readings"].toInt()));

        const QJsonArray excursions = stats["excursions"].toArray();
        QCOMPARE(excursions.size(), 4); // the short run is below the delay
        QVERIFY_LINE(text, "Excursions 4");
        for (const QJsonValue& e : excursions) {
            const QStringList row = {e["side"].toString(),
                                     Shown(e["start"]),
                                     Shown(e["end"]),
                                     Duration(e["hours"]),
                                     Celsius(e["peak"]),
                                     Shown(e["peak_time"]),
                                     QString::number(e["readings"].toInt()),
                                     e["ended_by_gap"].toBool() ? "yes" : "no"};
            QVERIFY_LINE(text, row.join(' '));
        }

        const QJsonArray days = stats["days"].toArray();
        QCOMPARE(days.size(), 31);
        for (const QJsonValue& d : days)
            QVERIFY_LINE(text, Shown(d["min_time"]).left(10) + " " + Celsius(d["min"]) + " " +
                                   Shown(d["min_time"]).mid(11) + " " + Celsius(d["max"]) + " " +
                                   Shown(d["max_time"]).mid(11) + " " + Celsius(d["mean"]));

        QVERIFY_LINE(text, "Readings expected 172800");
        QVERIFY_LINE(text, "Readings present 172799 (99.99 %)");
        QVERIFY_LINE(text, "Gap readings 1");
        QVERIFY_LINE(text, "Readings absent 0");
        QVERIFY_LINE(text, "temperature " + Shown(excursions[2]["start"]).left(11));
        QVERIFY_LINE(text, "not recorded");
    }

    // Two files with a hole between them, in a range wider than both: every file named, the
    // rows the hole lacks counted against the period's.
    void integrityOfMergedFiles() {
        ChartFileHarness h;
        const ReadingsStore record = LoggerRecord(); // every 15 minutes, reading 40 a gap
        SavePiece(h, Slice(record, 0, 100), "a");
        SavePiece(h, Slice(record, 150, 300), "b");
        const CliResult run =
            RunCliIn(h.dir, {"report", "b.zlx", "a.zlx", "--out", "r.pdf", "--from",
                             "11/30/26 23:00:00", "--to", "12/04/26 02:45:00"});
        QCOMPARE(run.status, ExitSuccess);
        const QString text = PdfPagesText(h.dir.file("r.pdf")).join('\n');
        QVERIFY_LINE(text, "Source files a.zlx, b.zlx");
        QVERIFY_LINE(text, "Period 11/30/2026 23:00:00 to 12/04/2026 02:45:00");
        QVERIFY_LINE(text, "Storage interval 0:15:00");
        QVERIFY_LINE(text, "Readings expected 304");
        QVERIFY_LINE(text, "Readings present 249 (81.90 %)");
        QVERIFY_LINE(text, "Gap readings 1");
        QVERIFY_LINE(text, "Readings absent 54");
        QVERIFY_LINE(text, "Missing time 12:30:00"); // the statistics' holes
        QVERIFY_LINE(text, "Missing time in the period 13:30:00");
    }

    void reviewBlock_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("reviewer and meaning")
            << QStringList{"--reviewer", "Dana Reyes", "--meaning", "Reviewed and approved"}
            << QStringList{"Reviewed by Dana Reyes", "Date 01/01/2010 12:00:00",
                           "Meaning Reviewed and approved"};
        QTest::newRow("reviewer alone")
            << QStringList{"--reviewer", "Dana Reyes"}
            << QStringList{"Reviewed by Dana Reyes", "Date 01/01/2010 12:00:00", "Meaning -"};
        QTest::newRow("no reviewer") << QStringList{} << QStringList{};
    }
    // Printed when given, else every line left blank to fill in; a line to sign under both.
    void reviewBlock() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, lines);
        ChartFileHarness h;
        const QString text = smallReport(h, options);
        const QString review = text.section("\nReview\n", 1);
        QVERIFY2(!review.isEmpty(), qPrintable(text));
        for (const QString& line : lines)
            QVERIFY_LINE(review, line);
        QVERIFY(!review.contains("Dana") || !lines.isEmpty());
        const QStringList labels = {"Reviewed by", "Date", "Meaning", "Signature"};
        for (qsizetype i = lines.size(); i < labels.size(); ++i)
            QVERIFY2(QRegularExpression("^\\s*" + labels[i] + "\\s*$",
                                        QRegularExpression::MultilineOption)
                         .match(review)
                         .hasMatch(),
                     qPrintable(labels[i] + " not blank in:\n" + review));
    }

    // Temperatures in Fahrenheit, the band given in Celsius; the chart's own figures.
    void fahrenheit() {
        ChartFileHarness h;
        const QString text = smallReport(h, {"--unit", "F", "--high", "5"});
        const QJsonObject c =
            RunCliIn(h.dir, {"stats", "small.zlx", "--json"}).json()["celsius"].toObject();
        const auto shown = [](const QJsonValue& v) {
            return QString::number(v.toDouble() * 1.8 + 32, 'f', 2) + " F";
        };
        QVERIFY_LINE(text, "Lowest " + shown(c["min"]));
        QVERIFY_LINE(text, "Highest " + shown(c["max"]));
        QVERIFY_LINE(text, "Allowed band not above 41.00 F");
        QVERIFY_LINE(text, "Temperature, degrees Fahrenheit");
        QVERIFY_LINE(text, "Encrypted duplicates yes, every file");
    }

    void failures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("output folder missing")
            << QStringList{"small.zlx", "--out", "nowhere/report.pdf"} << int(ExitJobFailed)
            << QByteArray("Cannot write report.pdf: No such file or directory.");
        QTest::newRow("output a folder")
            << QStringList{"small.zlx", "--out", "folder"} << int(ExitJobFailed)
            << QByteArray("Cannot write folder: it is not a regular file.");
        QTest::newRow("file does not load")
            << QStringList{"small.zlx", "absent.zlx", "--out", "report.pdf"} << int(ExitJobFailed)
            << QByteArray("No report written.");
        QTest::newRow("no output") << QStringList{"small.zlx"} << int(ExitUsage)
                                   << QByteArray("give the report's file with --out FILE.pdf.");
        QTest::newRow("unit") << QStringList{"small.zlx", "--out", "report.pdf", "--unit", "K"}
                              << int(ExitUsage) << QByteArray("--unit must be C or F, not 'K'.");
        QTest::newRow("meaning alone")
            << QStringList{"small.zlx", "--out", "report.pdf", "--meaning", "approved"}
            << int(ExitUsage) << QByteArray("--meaning needs --reviewer.");
        QTest::newRow("shared options")
            << QStringList{"small.zlx", "--out", "report.pdf", "--delay", "-1"} << int(ExitUsage)
            << QByteArray("--delay must be a number of minutes, 0 or more, not '-1'.");
    }
    // A report that cannot be made says why and leaves no file; one there stays as it was.
    void failures() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        ChartFileHarness h;
        SavePiece(h, LoggerRecord(), "small");
        h.dir.put("report.pdf", "an earlier report");
        QVERIFY(QDir(h.dir.file(".")).mkdir("folder"));
        const CliResult run = RunCliIn(h.dir, QStringList{"report"} + arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), run.err);
        QCOMPARE(h.dir.read("report.pdf"), QByteArray("an earlier report"));
        QVERIFY(!QDir(h.dir.file("nowhere")).exists());
        QVERIFY(QFileInfo(h.dir.file("folder")).isDir());
        QCOMPARE(QDir(h.dir.file(".")).entryList({"*.pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList{"report.pdf"});
    }
};

QTEST_MAIN(CliReportTest)
#include "cli_report_test.moc"
