#include "plot/limit_band_view.h"

#include "chart/statistics_report.h"
#include "plot/series_graphs_view.h"

#include <qcustomplot.h>

namespace zantrel {

namespace {

const QColor kAboveLine(170, 0, 0);
const QColor kBelowLine(0, 70, 180);
const QColor kAboveShade(255, 60, 60, 45);
const QColor kBelowShade(60, 110, 255, 45);
constexpr double kLineWidth = 1.5;

} // namespace

LimitBand::LimitBand(QCustomPlot* plot, QCPAxis* timeAxis, QCPAxis* temperatureAxis)
    : plot_(plot), timeAxis_(timeAxis), temperatureAxis_(temperatureAxis) {
    // Above the grid, under the series.
    plot_->addLayer("band", plot_->layer("main"), QCustomPlot::limBelow);
    layer_ = plot_->layer("band");
}

void LimitBand::sync(const ChartLimits& limits, bool fahrenheit) {
    if (synced_ && limits.low == low_ && limits.high == high_ && limits.excursions == drawn_ &&
        fahrenheit == fahrenheit_)
        return;
    synced_ = true;
    low_ = limits.low;
    high_ = limits.high;
    drawn_ = limits.excursions;
    fahrenheit_ = fahrenheit;
    clear();
    if (limits.empty()) return;
    for (const ShadedSpan& span : drawn_)
        addSpan(span);
    if (low_) addLine(ToShownUnit(*low_, fahrenheit_), false);
    if (high_) addLine(ToShownUnit(*high_, fahrenheit_), true);
}

void LimitBand::clear() {
    for (QCPItemStraightLine* line : lines_)
        plot_->removeItem(line);
    for (QCPItemRect* span : spans_)
        plot_->removeItem(span);
    lines_.clear();
    spans_.clear();
}

void LimitBand::addLine(double value, bool above) {
    auto* line = new QCPItemStraightLine(plot_);
    line->setLayer(layer_);
    line->setClipAxisRect(temperatureAxis_->axisRect());
    line->setPen(QPen(above ? kAboveLine : kBelowLine, kLineWidth, Qt::DashLine));
    line->setSelectable(false);
    for (QCPItemPosition* point : {line->point1, line->point2})
        point->setAxes(timeAxis_, temperatureAxis_);
    line->point1->setCoords(0, value);
    line->point2->setCoords(1, value);
    lines_.push_back(line);
}

void LimitBand::addSpan(const ShadedSpan& span) {
    auto* rect = new QCPItemRect(plot_);
    rect->setLayer(layer_);
    rect->setClipAxisRect(temperatureAxis_->axisRect());
    rect->setPen(Qt::NoPen);
    rect->setBrush(span.above ? kAboveShade : kBelowShade);
    rect->setSelectable(false);
    // From the start to the end in time, from the top to the bottom of the plot.
    for (QCPItemPosition* corner : {rect->topLeft, rect->bottomRight}) {
        corner->setAxes(timeAxis_, temperatureAxis_);
        corner->setAxisRect(temperatureAxis_->axisRect());
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    rect->topLeft->setCoords(ChartKey(span.from), 0);
    rect->bottomRight->setCoords(ChartKey(span.to), 1);
    spans_.push_back(rect);
}

} // namespace zantrel
