#pragma once

#include "chart/daily_figures.h"
#include "chart/excursions.h"

#include <QByteArray>
#include <QList>

namespace zantrel {

// A table of figures as the user reads it: the names of its columns and a row of cells for
// each excursion or day, each figure in the form the statistics lines give it ("-" for one a
// day without readings lacks).
struct FigureTable {
    QList<QByteArray> columns;
    QList<QList<QByteArray>> rows;
};

// Side, start, end, duration, peak and its time, readings, and whether a gap ended it; times
// in the date format given (a pattern of the Date Format menu).
FigureTable ExcursionTable(const Excursions& excursions, bool fahrenheit,
                           const QByteArray& datePattern);

// Date, lowest and highest with their time of day, mean, readings, gaps and time outside the
// band; the date and the times of day in the date format's two halves.
FigureTable DailyTable(const std::vector<DayFigures>& days, bool fahrenheit,
                       const QByteArray& datePattern);

} // namespace zantrel
