// The statistics window: opened from its menu, the whole chart beside the range the chart
// shows (following zoom and pan), the same figures as zantrel-cli stats for that range, the
// unit of the chart, limits kept in STATS.DAT, and the table copied as text.
#include "chart/chart_presenter.h"
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "cli_result.h"
#include "core/calendar.h"
#include "core/date_rendering.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "files/chart_file_loader.h"
#include "gui_window.h"
#include "mouse_drag.h"
#include "plot/chart_view.h"
#include "ui/main_menu_view.h"
#include "ui/statistics_limits_view.h"
#include "ui/statistics_window.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr int kReadings = 480; // two hours, every 15 seconds

// A cold room's chart with humidity and a few gaps, saved by an engine of its own.
struct ChartFile {
    ChartFileHarness h;
    ChartFile() {
        for (int i = 0; i < kReadings; ++i) {
            const bool gap = i % 97 == 50;
            h.store().ReadingTimes.push_back(Every15s(i));
            h.store().Temperatures.push_back(
                gap ? NoReading : float(std::round((5 + 4 * std::sin(i / 40.0)) * 10) / 10));
            h.store().Humidities.push_back(gap ? NoReading : float(40 + i % 30));
        }
        h.s().RHZL.set(true);
        h.save("run.csv");
    }
    QByteArray path() const { return h.pathOf("run.zlx"); }
};

// A started window with the chart loaded, shown at its designed size.
struct LoadedWindow : GuiWindow {
    ChartFile file;
    LoadedWindow() {
        form->engine().loader().LoadChartFile(file.path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        chart()->syncNow();
        chart()->replot();
    }
    ChartView* chart() { return form->chartView(); }
    void showInCelsius() {
        state().TempInF.setChecked(false);
        form->engine().presenter().TempInFClick();
    }
    StatisticsWindow* open() {
        form->menus()->Statistics->trigger();
        auto* window = form->findChild<StatisticsWindow*>();
        if (window) window->refreshNow();
        return window;
    }
};

// The cells of the table by the label of their row: {whole chart, shown on chart}.
QMap<QString, QStringList> Cells(const StatisticsWindow& window) {
    QMap<QString, QStringList> cells;
    QStringList lines = window.text().split('\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    for (const QString& line : lines) {
        const QStringList row = line.split('\t');
        cells[row[0]] = row.mid(1);
    }
    return cells;
}

// The shown-on-chart column as zantrel-cli stats prints its lines.
QByteArray ShownAsCliText(const StatisticsWindow& window) {
    QStringList lines = window.text().split('\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    QByteArray text;
    for (const QString& line : lines) {
        const QStringList row = line.split('\t');
        text += (row[0] + ": " + row[2]).toLatin1() + "\n";
    }
    return text;
}

// "MM/DD/YY HH:MM:SS" of a day count.
QString CliTime(double t) {
    return QString::fromLatin1(FormatDateTime("mm/dd/yy hh:mm:ss", t));
}

} // namespace

class StatisticsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensFromItsOwnMenu() {
        GuiWindow w;
        // Beside the designed menus, before Help.
        QStringList titles;
        for (QAction* menu : w.form->menuBar()->actions())
            titles << menu->text().remove('&');
        QCOMPARE(titles, (QStringList{"File", "Setup", "Chart", "Help"}));
        QAction* item = w.form->menus()->Statistics;
        QCOMPARE(item->text(), QString("&Statistics..."));
        QCOMPARE(item->shortcut(), QKeySequence("Ctrl+T"));
        item->trigger();
        auto* window = w.form->findChild<StatisticsWindow*>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QString("Chart Statistics"));
        // Opened again: the same window.
        item->trigger();
        QCOMPARE(w.form->findChildren<StatisticsWindow*>().size(), 1);
        // An empty chart: nothing to count, nothing made up.
        window->refreshNow();
        const auto cells = Cells(*window);
        QCOMPARE(cells["Readings"], (QStringList{"0", "0"}));
        QCOMPARE(cells["Mean kinetic temperature"], (QStringList{"-", "-"}));
        QVERIFY(!cells.contains("Mean humidity"));
    }

    void followsZoomAndPan() {
        LoadedWindow w;
        StatisticsWindow* window = w.open();
        QVERIFY(window);
        auto cells = Cells(*window);
        // Unzoomed, the chart shows all of itself, first and last reading included.
        QCOMPARE(cells["Readings"][0], QString::number(kReadings - 5));
        QCOMPARE(cells["Readings"][1], cells["Readings"][0]);
        QCOMPARE(cells["Gaps"], (QStringList{"5", "5"}));
        QCOMPARE(cells["Lowest"][1], cells["Lowest"][0]);
        QVERIFY(cells["Lowest"][0].endsWith(" F"));

        // A left drag over the middle of the plot zooms in; the shown column follows.
        ChartView* chart = w.chart();
        const QRect area = chart->axisRect()->rect();
        const QPoint from = area.topLeft() + QPoint(area.width() / 3, 2);
        const QPoint to = area.topLeft() + QPoint(area.width() / 2, area.height() - 2);
        Drag(chart, Qt::LeftButton, from, to);
        QVERIFY(chart->zoomed());
        QTRY_VERIFY(Cells(*window)["Readings"][1] != cells["Readings"][1]);
        cells = Cells(*window);
        const int zoomed = cells["Readings"][1].toInt();
        QVERIFY2(zoomed > kReadings / 8 && zoomed < kReadings / 4,
                 qPrintable(cells["Readings"][1]));
        QCOMPARE(cells["Readings"][0], QString::number(kReadings - 5));

        // A right drag pans later in time: other readings.
        const QString firstShown = cells["From"][1];
        Drag(chart, Qt::RightButton, area.center(), area.center() - QPoint(area.width() / 4, 0));
        QTRY_VERIFY(Cells(*window)["From"][1] != firstShown);
    }

    // The figures of the range shown are those zantrel-cli stats prints for it.
    void matchesTheCommandLineForTheSameRange() {
        LoadedWindow w;
        w.showInCelsius();
        StatisticsWindow* window = w.open();
        const double from = Every15s(100) + 7 * kOneSecond; // between readings
        const double to = Every15s(300) - 4 * kOneSecond;
        const QStringList limits = {"--low", "2", "--high", "8"};
        const CliResult run = RunCliIn(
            w.file.h.dir,
            QStringList{"stats", "run.zlx", "--from", CliTime(from), "--to", CliTime(to)} + limits);
        const CliResult whole = RunCliIn(w.file.h.dir, QStringList{"stats", "run.zlx"} + limits);
        QCOMPARE(run.status, ExitSuccess);
        QCOMPARE(whole.status, ExitSuccess);

        w.chart()->xAxis->setRange(ChartKey(from), ChartKey(to));
        window->refreshNow();
        QCOMPARE(Cells(*window)["Readings"][1], QString::number(199 - 2)); // two gaps
        QCOMPARE(ShownAsCliText(*window), StatsFiguresText(run.out));

        // The whole chart likewise.
        w.chart()->xAxis->setRange(ChartKey(Every15s(0)), ChartKey(Every15s(kReadings - 1)));
        window->refreshNow();
        QCOMPARE(ShownAsCliText(*window), StatsFiguresText(whole.out));
    }

    void limitsInTheChartsUnitKeptInCelsius() {
        LoadedWindow w;
        StatisticsWindow* window = w.open();
        StatisticsLimitsView* limits = window->limits();
        QCOMPARE(limits->lowEdit()->text(), QString("35.6"));
        QCOMPARE(limits->highEdit()->text(), QString("46.4"));
        const QString above = Cells(*window)["Readings above 46.40 F"][0];

        limits->highEdit()->setText("50");
        emit limits->highEdit()->editingFinished();
        QCOMPARE(w.settingsFile(kStatisticsFile), QByteArray("~Low Limit C: 2\r\n"
                                                             "~High Limit C: 10\r\n"
                                                             "~Activation Energy kJ/mol: 83.144\r\n"
                                                             "~Excursion Delay min: 0\r\n"));
        window->refreshNow();
        const auto cells = Cells(*window);
        QVERIFY(!cells.contains("Readings above 46.40 F"));
        QVERIFY(cells["Readings above 50.00 F"][0] != above);

        // Refused: the note says why and the fields show the settings again.
        limits->lowEdit()->setText("warm");
        emit limits->lowEdit()->editingFinished();
        QCOMPARE(limits->note(), QString("A limit is a number, or empty for none."));
        QCOMPARE(limits->lowEdit()->text(), QString("35.6"));
        limits->lowEdit()->setText("60");
        emit limits->lowEdit()->editingFinished();
        QCOMPARE(limits->note(), QString("The low limit must not be above the high limit."));
        limits->energyEdit()->setText("-1");
        emit limits->energyEdit()->editingFinished();
        QCOMPARE(limits->note(), QString("The activation energy is a positive number of kJ/mol."));
        QCOMPARE(limits->energyEdit()->text(), QString("83.144"));

        // The delay of an excursion is kept beside the limits.
        limits->delayBox()->setValue(30);
        QCOMPARE(w.settingsFile(kStatisticsFile), QByteArray("~Low Limit C: 2\r\n"
                                                             "~High Limit C: 10\r\n"
                                                             "~Activation Energy kJ/mol: 83.144\r\n"
                                                             "~Excursion Delay min: 30\r\n"));

        // Empty: no lower limit, no figures below.
        limits->lowEdit()->setText("");
        emit limits->lowEdit()->editingFinished();
        QCOMPARE(limits->note(), QString());
        window->refreshNow();
        QVERIFY(!Cells(*window).contains("Readings below 35.60 F"));

        // In Celsius the same limits read in Celsius; a new window reads them from the file.
        w.showInCelsius();
        window->refreshNow();
        QCOMPARE(limits->highEdit()->text(), QString("10"));
        QVERIFY(Cells(*window).contains("Readings above 10.00 C"));
        StatisticsWindow again(w.form->engine());
        QVERIFY(!again.limits()->options().low);
        QCOMPARE(again.limits()->options().high, std::optional<double>(10));
        QCOMPARE(again.limits()->delayBox()->value(), 30);
    }

    void copiesItsTableAsText() {
        LoadedWindow w;
        StatisticsWindow* window = w.open();
        QApplication::clipboard()->clear();
        window->findChild<QPushButton*>("CopyStatistics")->click();
        const QString text = QApplication::clipboard()->text();
        QCOMPARE(text, window->text());
        QVERIFY(text.startsWith("Figure\tWhole chart\tShown on chart\n"));
        QVERIFY(text.contains("\nMean humidity\t"));
        QCOMPARE(text.count('\n'), window->table()->rowCount() + 1);
    }
};

QTEST_MAIN(StatisticsWindowTest)
#include "statistics_window_test.moc"
