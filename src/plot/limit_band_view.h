#pragma once

#include "chart/chart_limits.h"

#include <optional>
#include <vector>

class QCPAxis;
class QCPItemRect;
class QCPItemStraightLine;
class QCPLayer;
class QCustomPlot;

namespace zantrel {

// The allowed band on the plot: each limit as a dashed line across the temperature axis at
// its value in the unit the chart shows, and each excursion as a translucent stretch over
// the whole height of the plot, red above the band and blue below it. Everything sits on a
// layer under the series; it is neither in the legend nor in the axes' ranges.
class LimitBand {
  public:
    LimitBand(QCustomPlot* plot, QCPAxis* timeAxis, QCPAxis* temperatureAxis);

    // Redraws when the limits or the unit differ from what is drawn.
    void sync(const ChartLimits& limits, bool fahrenheit);

    // The lines drawn: the low limit's first when it is set.
    const std::vector<QCPItemStraightLine*>& lines() const { return lines_; }
    // The excursions' stretches, in the order of the limits' spans.
    const std::vector<QCPItemRect*>& spans() const { return spans_; }

  private:
    void clear();
    void addLine(double value, bool above);
    void addSpan(const ShadedSpan& span);

    QCustomPlot* plot_;
    QCPAxis* timeAxis_;
    QCPAxis* temperatureAxis_;
    QCPLayer* layer_ = nullptr;
    std::vector<QCPItemStraightLine*> lines_;
    std::vector<QCPItemRect*> spans_;

    // What is drawn now.
    std::optional<double> low_, high_;
    std::vector<ShadedSpan> drawn_;
    bool fahrenheit_ = false;
    bool synced_ = false;
};

} // namespace zantrel
