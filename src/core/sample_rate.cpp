#include "core/sample_rate.h"

#include "core/calendar.h"

#include <cmath>

namespace zantrel {

double IntervalFromSamplesPerHour(double rate) {
    if (!(rate > 0) || !std::isfinite(rate)) return 0;
    const double seconds = std::trunc(kSecondsPerDay / (24 * rate) + 0.5);
    return std::isfinite(seconds) ? seconds / kSecondsPerDay : 0;
}

double SamplesPerHourFromInterval(double intervalDays) {
    if (!std::isfinite(intervalDays)) return 0;
    const double seconds = std::trunc(kSecondsPerDay * intervalDays + 0.5);
    return seconds > 0 ? 3600 / seconds : 0;
}

} // namespace zantrel
