#pragma once

#include <QString>
#include <optional>

namespace zantrel {

class ChartSeries;

// The drawn point of series nearest the time dayCount: not a gap and not the "No data" mark
// of an empty chart; -1 when there is none. The points are in time order.
int NearestPoint(const ChartSeries& series, double dayCount);

// What the pointer over a reading shows: its time in timeFormat (a QDateTime format), the
// temperature in the unit shown and the humidity when the chart has one.
QString ReadoutText(const QString& timeFormat, double dayCount, double temperature, bool fahrenheit,
                    std::optional<double> humidity);

} // namespace zantrel
