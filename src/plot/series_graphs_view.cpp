#include "plot/series_graphs_view.h"

#include "chart/chart_series.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zantrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QColor ColourOf(uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QCPGraph* MakeGraph(QCustomPlot* plot, QCPAxis* keyAxis, QCPAxis* valueAxis, const QPen& pen) {
    QCPGraph* graph = plot->addGraph(keyAxis, valueAxis);
    graph->setPen(pen);
    graph->setAdaptiveSampling(true);
    return graph;
}

} // namespace

void Extent::add(double v) {
    if (std::isnan(v)) return;
    if (!found) {
        lo = hi = v;
        found = true;
        return;
    }
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

void SeriesGraphs::Batch::add(double key, double value) {
    if (!points.isEmpty() && key < points.last().key) sorted = false;
    points.append(QCPGraphData(key, value));
}

// Adds the batch in key order. Equal keys keep the order in which they were added, which
// the NaN breaks rely on; the container's own fast paths do not promise that when the
// whole batch sits at or before its first key, so that case is merged here.
void SeriesGraphs::Batch::flushTo(QCPGraph* graph) {
    if (points.isEmpty()) return;
    if (!sorted)
        std::stable_sort(
            points.begin(), points.end(),
            [](const QCPGraphData& a, const QCPGraphData& b) { return a.key < b.key; });
    const auto container = graph->data();
    if (!container->isEmpty() && points.last().key <= container->constBegin()->key) {
        QVector<QCPGraphData> all(container->constBegin(), container->constEnd());
        const auto middle = all.size();
        all += points;
        std::inplace_merge(
            all.begin(), all.begin() + middle, all.end(),
            [](const QCPGraphData& a, const QCPGraphData& b) { return a.key < b.key; });
        container->set(all, true);
    } else {
        container->add(points, true);
    }
    points = {}; // the graph may share this buffer: let it keep it rather than copy it
    sorted = true;
}

SeriesGraphs::SeriesGraphs(QCustomPlot* plot, QCPAxis* keyAxis, QCPAxis* valueAxis,
                           const QColor& colour, int width, bool labelMarks)
    : plot_(plot), labelMarks_(labelMarks) {
    main_ = MakeGraph(plot, keyAxis, valueAxis, QPen(colour, width));
    bridge_ = MakeGraph(plot, keyAxis, valueAxis, QPen(ColourOf(kSilver), width));
    marks_ = MakeGraph(plot, keyAxis, valueAxis, QPen(ColourOf(kGrey), width));
    marks_->setLineStyle(QCPGraph::lsNone);
    marks_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, ColourOf(kGrey), 8));
}

void SeriesGraphs::clear() {
    main_->data()->clear();
    bridge_->data()->clear();
    marks_->data()->clear();
    for (QCPItemText* label : markLabels_)
        plot_->removeItem(label);
    markLabels_.clear();
    done_ = 0;
    lastMain_ = -1;
    mainEmpty_ = true;
    keys_ = Extent();
    values_ = Extent();
}

bool SeriesGraphs::sync(const ChartSeries& series) {
    rebuilt_ = series.generation() != generation_ || series.PointCount() < done_;
    if (rebuilt_) {
        clear();
        generation_ = series.generation();
    }
    const int count = series.PointCount();
    if (count == done_) return rebuilt_;
    for (int i = done_; i < count; ++i)
        appendPoint(series, i);
    done_ = count;
    mainBatch_.flushTo(main_);
    bridgeBatch_.flushTo(bridge_);
    marksBatch_.flushTo(marks_);
    return true;
}

// The segment that leads to a point takes the point's colour.
void SeriesGraphs::appendPoint(const ChartSeries& series, int i) {
    const double key = ChartKey(series.x(i));
    keys_.add(key);
    if (series.isNull(i)) return;
    const double value = series.y(i);
    values_.add(value);
    const bool joined = i > 0 && !series.isNull(i - 1);
    const uint32_t colour = series.colour(i);

    if (colour == kSilver) {
        if (!joined) return;
        bridgeBatch_.add(ChartKey(series.x(i - 1)), series.y(i - 1));
        bridgeBatch_.add(key, value);
        bridgeBatch_.add(key, kNaN);
    } else if (colour == kGrey) {
        marksBatch_.add(key, value);
        if (labelMarks_) addMarkLabel(key, value, series.label(i));
    } else {
        if (lastMain_ != i - 1 || i == 0) {
            if (!mainEmpty_) mainBatch_.add(joined ? ChartKey(series.x(i - 1)) : key, kNaN);
            if (joined) mainBatch_.add(ChartKey(series.x(i - 1)), series.y(i - 1));
        }
        mainBatch_.add(key, value);
        mainEmpty_ = false;
        lastMain_ = i;
    }
}

void SeriesGraphs::addMarkLabel(double key, double value, const QByteArray& label) {
    if (label.isEmpty()) return;
    auto* text = new QCPItemText(plot_);
    text->setClipToAxisRect(true);
    text->position->setAxes(main_->keyAxis(), main_->valueAxis());
    text->position->setCoords(key, value);
    text->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    text->setPadding(QMargins(0, 0, 0, 8));
    text->setColor(ColourOf(kGrey));
    text->setText(QString::fromLatin1(label));
    markLabels_.push_back(text);
}

} // namespace zantrel
