#pragma once

#include "core/observable.h"

#include <optional>
#include <vector>

namespace zantrel {

// One stretch of time outside the band, to shade on the chart (day counts).
struct ShadedSpan {
    double from = 0;
    double to = 0;
    bool above = true; // above the high limit, else below the low one

    bool operator==(const ShadedSpan&) const = default;
};

// The allowed band drawn over the chart: each limit as a line across the temperature axis and
// the excursions shaded. The limits are Celsius, as stored; the view shows them in the unit the
// chart shows. Empty (no limit) draws nothing.
struct ChartLimits : Observable {
    std::optional<double> low;
    std::optional<double> high;
    std::vector<ShadedSpan> excursions;

    void set(std::optional<double> lowCelsius, std::optional<double> highCelsius,
             std::vector<ShadedSpan> spans);
    void clear() { set(std::nullopt, std::nullopt, {}); }
    bool empty() const { return !low && !high; }
};

} // namespace zantrel
