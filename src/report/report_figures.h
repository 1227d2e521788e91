#pragma once

#include "chart/daily_figures.h"
#include "chart/event_list.h"
#include "chart/excursions.h"
#include "report/data_integrity.h"

#include <vector>

namespace zantrel {

struct ReportOptions;

// Every figure a report shows, taken over the same readings: those of the period.
struct ReportFigures {
    TimeRange period;
    ChartStatistics statistics;
    Excursions excursions;
    std::vector<DayFigures> days;
    std::vector<LoggerEvent> events;
    std::vector<AlarmPeriod> alarms;
    DataIntegrity integrity;
};

// The figures of the readings of store in the options' range; humidity: whether the chart
// carries humidity.
ReportFigures GatherReportFigures(const ReadingsStore& store, const ReportOptions& options,
                                  bool humidity);

} // namespace zantrel
