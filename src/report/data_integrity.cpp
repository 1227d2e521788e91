#include "report/data_integrity.h"

#include "chart/readings_store.h"
#include "chart/storage_interval.h"

#include <algorithm>
#include <cmath>

namespace zantrel {

namespace {

// Times within half a second count as the same time, as the chart files keep whole seconds.
constexpr double kHalfSecond = 0.5 / 86400;

// The time of period before its first row and after its last row's interval, hours; all of
// it when it holds no row.
double UncoveredHours(const ReadingsStore& store, const TimeRange& period, double interval) {
    const std::vector<double>& times = store.ReadingTimes;
    const auto first = std::lower_bound(times.begin(), times.end(), period.from);
    const auto end = std::upper_bound(first, times.end(), period.to);
    if (first == end) return Milliseconds(period.to - period.from) / 3.6e6;
    return (Milliseconds(*first - period.from) +
            Milliseconds(period.to - (*(end - 1) + interval))) /
           3.6e6;
}

} // namespace

double DataIntegrity::completeness() const {
    return expected ? static_cast<double>(present) / static_cast<double>(expected) : 1;
}

TimeRange ReportPeriod(const ReadingsStore& store, const TimeRange& range) {
    const std::vector<double>& times = store.ReadingTimes;
    const auto first = std::lower_bound(times.begin(), times.end(), range.from);
    const auto end = std::upper_bound(first, times.end(), range.to);
    if (first == end)
        return {std::isfinite(range.from) ? range.from : 0, std::isfinite(range.to) ? range.to : 0};
    return {std::isfinite(range.from) ? range.from : *first,
            std::isfinite(range.to) ? range.to : *(end - 1)};
}

DataIntegrity CheckDataIntegrity(const ReadingsStore& store, const TimeRange& period,
                                 const ChartStatistics& statistics) {
    DataIntegrity d;
    d.from = period.from;
    d.to = period.to;
    d.interval = StorageInterval(store.ReadingTimes);
    d.present = statistics.readings;
    d.gaps = statistics.gaps;
    const std::size_t rows = d.present + d.gaps;
    d.missingHours = statistics.missingHours + UncoveredHours(store, period, d.interval);
    if (d.interval > 0 && period.to >= period.from)
        d.expected = static_cast<std::size_t>(
                         std::floor((period.to - period.from + kHalfSecond) / d.interval)) +
                     1;
    else
        d.expected = rows;
    d.absent = d.expected > rows ? d.expected - rows : 0;
    return d;
}

} // namespace zantrel
