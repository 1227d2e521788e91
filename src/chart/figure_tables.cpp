#include "chart/figure_tables.h"

#include "chart/statistics_report.h"
#include "core/calendar.h"

namespace zantrel {

namespace {

const QByteArray kNone = "-";

QByteArray Count(std::size_t n) {
    return QByteArray::number(qulonglong(n));
}

} // namespace

FigureTable ExcursionTable(const Excursions& excursions, bool fahrenheit,
                           const QByteArray& datePattern) {
    FigureTable table{
        {"Side", "Start", "End", "Duration", "Peak", "Peak at", "Readings", "Ended by gap"}, {}};
    for (const ExcursionPeriod& e : excursions.periods)
        table.rows.append({e.side == BandSide::Below ? "below" : "above",
                           TimeText(e.start, datePattern), TimeText(e.end, datePattern),
                           DurationText(e.hours), TemperatureText(e.peak.value, fahrenheit),
                           TimeText(e.peak.time, datePattern), Count(e.readings),
                           e.endedByGap ? "yes" : "no"});
    return table;
}

FigureTable DailyTable(const std::vector<DayFigures>& days, bool fahrenheit,
                       const QByteArray& datePattern) {
    // Every pattern of the Date Format menu is a date, a blank and a time of day.
    const qsizetype blank = datePattern.indexOf(' ');
    const QByteArray datePart = blank < 0 ? datePattern : datePattern.left(blank);
    const QByteArray timePart = blank < 0 ? datePattern : datePattern.mid(blank + 1);
    FigureTable table{
        {"Date", "Lowest", "at", "Highest", "at", "Mean", "Readings", "Gaps", "Time outside"}, {}};
    for (const DayFigures& d : days) {
        const ChartStatistics& f = d.figures;
        const bool any = f.readings > 0;
        const auto temperature = [&](double c) {
            return any ? TemperatureText(c, fahrenheit) : kNone;
        };
        const auto time = [&](double t) { return any ? TimeText(t, timePart) : kNone; };
        table.rows.append({TimeText(EncodeDate(d.year, d.month, d.day).value_or(0), datePart),
                           temperature(f.minimum.value), time(f.minimum.time),
                           temperature(f.maximum.value), time(f.maximum.time), temperature(f.mean),
                           Count(f.readings), Count(f.gaps), DurationText(d.hoursOutside())});
    }
    return table;
}

} // namespace zantrel
