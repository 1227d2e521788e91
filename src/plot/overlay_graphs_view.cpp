#include "plot/overlay_graphs_view.h"

#include "chart/chart_overlays.h"

#include <qcustomplot.h>

#include <limits>

namespace zantrel {

namespace {

constexpr int kLineWidth = 2;
constexpr int kLegendColumns = 4; // two files a row when both have humidity
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The series as graph points; a null point is NaN, which breaks the line.
QVector<QCPGraphData> PointsOf(const ChartSeries& series, Extent& keys, Extent& values) {
    QVector<QCPGraphData> points;
    points.reserve(series.PointCount());
    for (int i = 0; i < series.PointCount(); ++i) {
        const double key = ChartKey(series.x(i));
        const double value = series.isNull(i) ? kNaN : series.y(i);
        keys.add(key);
        values.add(value);
        points.append(QCPGraphData(key, value));
    }
    return points;
}

QString NameOf(const QByteArray& name, bool humidity) {
    const QString text = QString::fromLatin1(name);
    return humidity ? text + " %RH" : text;
}

} // namespace

OverlayGraphs::OverlayGraphs(QCustomPlot* plot, QCPAxis* timeAxis, QCPAxis* temperatureAxis,
                             QCPAxis* humidityAxis)
    : plot_(plot), timeAxis_(timeAxis), temperatureAxis_(temperatureAxis),
      humidityAxis_(humidityAxis) {
    // The legend gets a row of its own below the plot while it is shown, so it never hides
    // a line.
    QCPLegend* legend = plot_->legend;
    plot_->axisRect()->insetLayout()->take(legend);
    legend->setVisible(false);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(kLegendColumns);
    legend->setBorderPen(Qt::NoPen);
    legend->setIconSize(30, 18); // taller than the text, so no descender is cut off
}

void OverlayGraphs::showLegend(bool shown) {
    QCPLegend* legend = plot_->legend;
    legend->setVisible(shown);
    QCPLayoutGrid* layout = plot_->plotLayout();
    if (shown == (legend->layout() == layout)) return;
    if (!shown) {
        layout->take(legend);
        layout->simplify();
        return;
    }
    int row = 0;
    while (row < layout->rowCount() && layout->element(row, 0) != plot_->axisRect())
        ++row;
    layout->insertRow(row + 1);
    layout->addElement(row + 1, 0, legend);
    layout->setRowStretchFactor(row + 1, 0.001);
}

void OverlayGraphs::sync(const ChartOverlays& overlays, QCPGraph* mainTemperature,
                         QCPGraph* mainHumidity, bool mainHumidityShown) {
    if (overlays.generation() == generation_ && mainHumidityShown == mainHumidityShown_) return;
    generation_ = overlays.generation();
    mainHumidityShown_ = mainHumidityShown;
    rebuild(overlays);
    fillLegend(overlays, mainTemperature, mainHumidityShown ? mainHumidity : nullptr);
}

void OverlayGraphs::clear() {
    for (QCPGraph* graph : graphs_)
        plot_->removeGraph(graph);
    graphs_.clear();
    keys_ = temperatureValues_ = humidityValues_ = Extent();
}

void OverlayGraphs::rebuild(const ChartOverlays& overlays) {
    clear();
    for (const ChartOverlay& overlay : overlays.overlays()) {
        const QColor colour = QColor::fromRgb(static_cast<QRgb>(overlay.colour));
        QCPGraph* temperature = plot_->addGraph(timeAxis_, temperatureAxis_);
        temperature->setPen(QPen(colour, kLineWidth));
        temperature->setName(NameOf(overlay.name, false));
        temperature->data()->set(PointsOf(overlay.Temperature, keys_, temperatureValues_), true);
        graphs_.push_back(temperature);
        if (!overlay.humidity) continue;
        QCPGraph* humidity = plot_->addGraph(timeAxis_, humidityAxis_);
        humidity->setPen(QPen(colour, kLineWidth, Qt::DashLine));
        humidity->setName(NameOf(overlay.name, true));
        humidity->data()->set(PointsOf(overlay.Humidity, keys_, humidityValues_), true);
        graphs_.push_back(humidity);
    }
}

void OverlayGraphs::fillLegend(const ChartOverlays& overlays, QCPGraph* mainTemperature,
                               QCPGraph* mainHumidity) {
    QCPLegend* legend = plot_->legend;
    legend->clearItems();
    showLegend(!overlays.empty());
    if (overlays.empty()) return;
    if (!overlays.mainName().isEmpty()) {
        mainTemperature->setName(NameOf(overlays.mainName(), false));
        mainTemperature->addToLegend(legend);
        if (mainHumidity) {
            mainHumidity->setName(NameOf(overlays.mainName(), true));
            mainHumidity->addToLegend(legend);
        }
    }
    for (QCPGraph* graph : graphs_)
        graph->addToLegend(legend);
}

} // namespace zantrel
