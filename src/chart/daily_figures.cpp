#include "chart/daily_figures.h"

#include "chart/readings_store.h"
#include "chart/storage_interval.h"
#include "core/calendar.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zantrel {

std::vector<DayFigures> ComputeDailyFigures(const ReadingsStore& store, const TimeRange& range,
                                            const StatisticsOptions& options) {
    const std::vector<double>& times = store.ReadingTimes;
    const std::size_t count = std::min(times.size(), store.Temperatures.size());
    const double interval = StorageInterval(times);
    std::vector<DayFigures> days;
    std::optional<StatisticsGatherer> gatherer;
    double current = 0;
    const auto finish = [&] {
        if (gatherer) days.back().figures = gatherer->result();
    };
    for (std::size_t i = 0; i < count; ++i) {
        const double t = times[i];
        if (!(t >= range.from && t <= range.to)) continue;
        const double day = std::floor(RoundToSecond(t));
        if (!gatherer || day != current) {
            const std::optional<DateTimeFields> date = DecodeDateTime(day);
            if (!date) continue;
            finish();
            current = day;
            gatherer.emplace(store, options, interval);
            days.push_back({date->year, date->month, date->day, {}});
        }
        gatherer->add(i);
    }
    finish();
    return days;
}

} // namespace zantrel
