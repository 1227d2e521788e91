#pragma once

namespace zantrel {

class Clock;
struct State;

// Makes the next automatic download due `seconds` of real time from now: the due time on the
// steady clock, which the reader compares, and the local date-time that brings, on the status
// line ("Next Auto Download:") in the chosen date format. A clock set or a daylight-saving
// change moves neither.
void SetAutoClock(State& state, const Clock& clock, double seconds);
// The date-time shown no longer is the one the due time brings: the wall clock was set since.
bool AutoClockShownStale(const State& state, const Clock& clock);
// Shows the date-time the due time brings by the wall clock as it reads now.
void ShowAutoClock(State& state, const Clock& clock);

} // namespace zantrel
