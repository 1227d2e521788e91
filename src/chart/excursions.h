#pragma once

#include "chart/chart_statistics.h"

#include <cstddef>
#include <vector>

namespace zantrel {

enum class BandSide { Below, Above };

// One run of consecutive readings outside the band on one side. It starts at its first
// reading and ends when the first reading back inside (or on the other side) was taken; a gap
// reading or a hole in the record ends it too, since the record cannot say it went on, and
// then it ends where its last reading's time does. A run that reaches the end of the chart
// or of the range ends with its last reading's interval. Hours are counted as the statistics
// count time, each reading standing for its storage interval.
struct ExcursionPeriod {
    BandSide side = BandSide::Above;
    double start = 0; // day counts
    double end = 0;
    double hours = 0;
    Extreme peak; // the lowest reading of a run below, the highest of one above
    std::size_t readings = 0;
    bool endedByGap = false;
};

// The excursions of a range in time order, and the time outside per side that they add up to
// (the statistics' time below and above counts every reading outside, these only the runs that
// lasted at least the delay).
struct Excursions {
    std::vector<ExcursionPeriod> periods;
    double hoursBelow = 0;
    double hoursAbove = 0;
};

// Every run outside the band of options that lasts at least delayMinutes, taken over the
// readings in range.
Excursions FindExcursions(const ReadingsStore& store, const TimeRange& range,
                          const StatisticsOptions& options, double delayMinutes = 0);

} // namespace zantrel
