#pragma once

namespace zantrel {

struct State;
struct ChartModel;

// Checks the item matching DATEFORMAT (none matching leaves the checks as they are) and
// sets the chart's time label format to the DATEFORMAT text, whatever it is.
void ApplyDateFormat(State& state, ChartModel& chart);

} // namespace zantrel
