// The allowed band on the chart: the statistics' limits as lines on the temperature axis in
// the chart's unit and the excursions shaded, on the chart view alone and in the window, where
// they follow the statistics window, the readings and the settings file.
#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/readings_drawing.h"
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "core/settings_files.h"
#include "engine/engine.h"
#include "gui_window.h"
#include "plot/chart_view.h"
#include "ui/main_menu_view.h"
#include "ui/statistics_limits_view.h"
#include "ui/statistics_window.h"

#include <QLineEdit>
#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr int kReadings = 480; // two hours, every 15 seconds

// A fridge at 5 C that warms to 9.5 C for readings 100..139 and cools to 0.5 C for readings
// 300..319.
float Temperature(int i) {
    if (i >= 100 && i < 140) return 9.5f;
    if (i >= 300 && i < 320) return 0.5f;
    return 5.0f;
}

struct ChartFile {
    ChartFileHarness h;
    ChartFile() {
        for (int i = 0; i < kReadings; ++i) {
            h.store().ReadingTimes.push_back(Every15s(i));
            h.store().Temperatures.push_back(Temperature(i));
        }
        h.save("fridge.csv");
    }
    QByteArray path() const { return h.pathOf("fridge.zlx"); }
};

// The values the band's lines sit at, low first, to the millionth.
QList<double> LineValues(const ChartView& view) {
    QList<double> values;
    for (QCPItemStraightLine* line : view.limitBand().lines()) {
        // Horizontal: both points at the same value.
        if (line->point1->coords().y() != line->point2->coords().y()) return {};
        values << std::round(line->point1->coords().y() * 1e6) / 1e6;
    }
    return values;
}

// Each shaded stretch as {from key, to key, above}.
using Stretch = std::tuple<double, double, bool>;
QList<Stretch> Stretches(const ChartView& view) {
    QList<Stretch> out;
    for (QCPItemRect* rect : view.limitBand().spans())
        out << Stretch{rect->topLeft->coords().x(), rect->bottomRight->coords().x(),
                       rect->brush().color().red() > rect->brush().color().blue()};
    return out;
}

// A started window (STATS.DAT written first when given) with the fridge's chart loaded.
struct BandWindow : GuiWindow {
    ChartFile file;
    explicit BandWindow(const QByteArray& statsFile = {}) {
        if (!statsFile.isEmpty()) {
            form.reset();
            QFile stats(dir.filePath(kStatisticsFile));
            if (stats.open(QIODevice::WriteOnly)) stats.write(statsFile);
            stats.close();
            form = std::make_unique<TForm1>(clock);
            form->FormCreate(QFile::encodeName(dir.path()), {});
        }
        form->engine().loader().LoadChartFile(file.path());
        sync();
    }
    ChartView& view() { return *form->chartView(); }
    // The band follows on the next event-loop turn; the view is brought up to date after it.
    void sync() {
        QCoreApplication::processEvents();
        view().syncNow();
    }
    void showIn(bool fahrenheit) {
        state().TempInF.setChecked(fahrenheit);
        form->engine().presenter().TempInFClick();
        sync();
    }
    StatisticsLimitsView* limits() {
        form->menus()->Statistics->trigger();
        return form->findChild<StatisticsWindow*>()->limits();
    }
    void edit(QLineEdit* field, const QString& text) {
        field->setText(text);
        emit field->editingFinished();
        sync();
    }
};

} // namespace

class LimitBandTest : public QObject {
    Q_OBJECT
  private slots:
    void theViewDrawsTheBandUnderTheSeriesWithoutChangingTheAxes() {
        ChartModel chart;
        ChartView view(chart);
        const double day = 40179.0;
        for (int i = 0; i <= 10; ++i)
            chart.Series1.AddPoint(day + i / 1440.0, 4 + i * 0.1, {}, kRed);
        view.resize(800, 400);
        view.syncNow();
        const QCPRange temperatures = view.yAxis->range();
        const QCPRange times = view.xAxis->range();

        // No limit: nothing drawn, also with spans given.
        chart.Limits.set(std::nullopt, std::nullopt, {{day, day + 0.001, true}});
        view.syncNow();
        QVERIFY(view.limitBand().lines().empty());
        QVERIFY(view.limitBand().spans().empty());

        // A high limit far above the readings is drawn but widens nothing.
        chart.Limits.set(2.0, 30.0, {{day + 0.002, day + 0.004, false}});
        view.syncNow();
        QCOMPARE(LineValues(view), (QList<double>{2.0, 30.0}));
        QCOMPARE(Stretches(view),
                 (QList<Stretch>{{ChartKey(day + 0.002), ChartKey(day + 0.004), false}}));
        QCOMPARE(view.yAxis->range(), temperatures);
        QCOMPARE(view.xAxis->range(), times);
        QCOMPARE(view.legend->itemCount(), 0);
        for (QCPItemStraightLine* line : view.limitBand().lines())
            QVERIFY(line->layer()->index() < view.layer("main")->index());
        // The stretch covers the plot's whole height.
        QCPItemRect* rect = view.limitBand().spans().front();
        QCOMPARE(rect->topLeft->typeY(), QCPItemPosition::ptAxisRectRatio);
        QCOMPARE(rect->topLeft->coords().y(), 0.0);
        QCOMPARE(rect->bottomRight->coords().y(), 1.0);

        // In the unit the chart shows, as a chart drawn in Fahrenheit (the report's) is.
        ReadingsStore store;
        store.ReadingTimes = {day, day + 0.01};
        store.Temperatures = {4, 5};
        DrawReadings(store, true, false, chart);
        view.syncNow();
        QCOMPARE(LineValues(view), (QList<double>{35.6, 86.0}));
    }

    void theStatisticsBandIsOnTheChartFromTheStart() {
        // Without STATS.DAT, the default band the statistics count, in Fahrenheit as shown.
        BandWindow w;
        QCOMPARE(LineValues(w.view()), (QList<double>{35.6, 46.4}));
        // One stretch per excursion, from its first reading to the first one back inside.
        const QList<Stretch> expected = {{ChartKey(Every15s(100)), ChartKey(Every15s(140)), true},
                                         {ChartKey(Every15s(300)), ChartKey(Every15s(320)), false}};
        QCOMPARE(Stretches(w.view()), expected);
        w.showIn(false);
        QCOMPARE(LineValues(w.view()), (QList<double>{2.0, 8.0}));
        QCOMPARE(Stretches(w.view()), expected);

        // A stored band is the one drawn; a lone high limit draws one line.
        BandWindow stored("~Low Limit C: \r\n~High Limit C: 9\r\n");
        stored.showIn(false);
        QCOMPARE(LineValues(stored.view()), (QList<double>{9.0}));
        QCOMPARE(Stretches(stored.view()),
                 (QList<Stretch>{{ChartKey(Every15s(100)), ChartKey(Every15s(140)), true}}));
    }

    void editedLimitsMoveTheBand() {
        BandWindow w;
        w.showIn(false);
        StatisticsLimitsView* limits = w.limits();
        w.edit(limits->highEdit(), "10");
        QCOMPARE(LineValues(w.view()), (QList<double>{2.0, 10.0}));
        QCOMPARE(Stretches(w.view()),
                 (QList<Stretch>{{ChartKey(Every15s(300)), ChartKey(Every15s(320)), false}}));
        // A refused edit changes nothing.
        w.edit(limits->lowEdit(), "cold");
        QCOMPARE(LineValues(w.view()), (QList<double>{2.0, 10.0}));

        // Without limits nothing is drawn.
        w.edit(limits->lowEdit(), "");
        w.edit(limits->highEdit(), "");
        QVERIFY(w.view().limitBand().lines().empty());
        QVERIFY(w.view().limitBand().spans().empty());
    }

    void aClearedChartKeepsTheLinesButNoShading() {
        BandWindow w;
        QCOMPARE(w.view().limitBand().spans().size(), size_t(2));
        w.form->engine().ClearBuffer();
        w.sync();
        QVERIFY(w.view().limitBand().spans().empty());
        QCOMPARE(LineValues(w.view()), (QList<double>{35.6, 46.4}));
    }
};

QTEST_MAIN(LimitBandTest)
#include "limit_band_test.moc"
