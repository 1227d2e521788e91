#include "report/report_figures.h"

#include "report/compliance_report.h"

namespace zantrel {

ReportFigures GatherReportFigures(const ReadingsStore& store, const ReportOptions& options,
                                  bool humidity) {
    StatisticsOptions band = options.figures;
    band.humidity = humidity;
    ReportFigures f;
    f.period = ReportPeriod(store, options.range);
    f.statistics = ComputeChartStatistics(store, options.range, band);
    f.excursions = FindExcursions(store, options.range, band, band.delayMinutes);
    f.days = ComputeDailyFigures(store, options.range, band);
    f.events = ListEvents(store, options.range);
    f.alarms = PairAlarms(f.events);
    f.integrity = CheckDataIntegrity(store, f.period, f.statistics);
    return f;
}

} // namespace zantrel
