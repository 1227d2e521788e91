#pragma once

#include "chart/chart_statistics.h"

#include <QByteArray>
#include <QList>

namespace zantrel {

// One line of the statistics as the user reads it: what it is and its value.
struct StatisticsLine {
    QByteArray label;
    QByteArray value;
};

// The figures as lines of text: temperatures in Fahrenheit or Celsius with two decimals,
// times in the date format given (a pattern of the Date Format menu), durations as
// h:mm:ss, shares in percent. A figure that a range without readings does not have
// reads "-". The lines are the same for every range with the same options, so lines of
// several ranges stand side by side.
QList<StatisticsLine> StatisticsLines(const ChartStatistics& statistics,
                                      const StatisticsOptions& options, bool fahrenheit,
                                      const QByteArray& datePattern);

// Single figures as those lines show them: a temperature in the unit shown with two decimals
// and the unit, hours as h:mm:ss to the nearest second, a time in the date format given to the
// nearest second.
QByteArray TemperatureText(double celsius, bool fahrenheit);
QByteArray DurationText(double hours);
QByteArray TimeText(double t, const QByteArray& datePattern);

// Degrees Celsius in the unit shown, and back.
double ToShownUnit(double celsius, bool fahrenheit);
double FromShownUnit(double shown, bool fahrenheit);

} // namespace zantrel
