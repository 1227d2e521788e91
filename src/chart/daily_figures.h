#pragma once

#include "chart/chart_statistics.h"

#include <vector>

namespace zantrel {

// The figures of one calendar day of the chart's own times (the logger's clock, which keeps no
// daylight saving, so a whole day has 24 hours): the statistics of that day's readings alone.
// A first or last day the chart covers only in part has the figures of the readings it holds.
struct DayFigures {
    int year = 0;
    int month = 0;
    int day = 0;
    ChartStatistics figures;

    // Every reading of the day outside the band, whatever the delay.
    double hoursOutside() const { return figures.below.hours + figures.above.hours; }
};

// The days of the readings in range in time order, one for each day that holds a reading
// (gaps included), in one pass over the store. A reading belongs to the day its time shows,
// to the second.
std::vector<DayFigures> ComputeDailyFigures(const ReadingsStore& store, const TimeRange& range,
                                            const StatisticsOptions& options);

} // namespace zantrel
