#include "chart/chart_limits.h"

namespace zantrel {

void ChartLimits::set(std::optional<double> lowCelsius, std::optional<double> highCelsius,
                      std::vector<ShadedSpan> spans) {
    low = lowCelsius;
    high = highCelsius;
    excursions = std::move(spans);
    notify();
}

} // namespace zantrel
