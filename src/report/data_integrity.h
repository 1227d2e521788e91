#pragma once

#include "chart/chart_statistics.h"

#include <cstddef>

namespace zantrel {

// How complete the record of a period is: the readings the storage interval makes one expect
// from the period's start to its end, against the rows the record holds there (readings with a
// value and the gap readings the logger wrote for those it missed). Rows the record lacks
// altogether are absent: holes between its rows, or time of the period before its first row or
// after its last one's interval; missingHours is all that time.
struct DataIntegrity {
    double from = 0; // the period, day counts
    double to = 0;
    double interval = 0; // storage interval, days; 0 when the record has fewer than two rows
    std::size_t expected = 0;
    std::size_t present = 0; // readings with a value
    std::size_t gaps = 0;
    std::size_t absent = 0; // expected rows the record does not hold
    double missingHours = 0;

    // Readings with a value per reading expected, 0 to 1 (1 for a period that expects none).
    double completeness() const;
};

// The period of a report over range: its bounds where they are given, else the first and the
// last row of the store in range (both 0 when it holds none).
TimeRange ReportPeriod(const ReadingsStore& store, const TimeRange& range);

// The integrity of the readings of store in period, with the statistics of the same readings.
DataIntegrity CheckDataIntegrity(const ReadingsStore& store, const TimeRange& period,
                                 const ChartStatistics& statistics);

} // namespace zantrel
