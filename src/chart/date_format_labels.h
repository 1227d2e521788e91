#pragma once

namespace zantrel {

class Dialogs;
struct State;
struct ChartModel;

// Checks the item matching DATEFORMAT (none matching leaves the checks as they are) and
// sets the chart's time label format to the DATEFORMAT text, whatever it is.
void ApplyDateFormat(State& state, ChartModel& chart);

// A click on one of the eight Date Format items: checks it, stores the format in DATEFMT.DAT
// and relabels the chart; a failed store is shown as a problem.
void DateFormatClick(State& state, ChartModel& chart, Dialogs& dialogs, int item);

} // namespace zantrel
