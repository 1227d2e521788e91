#include "core/auto_clock.h"

#include "core/clock.h"
#include "core/date_rendering.h"
#include "core/state.h"

#include <cmath>

namespace zantrel {

namespace {
// Shown times are whole seconds; a wall clock set by less is not worth a new text.
constexpr double kStaleDays = 2 / 86400.0;

double ShownTime(const State& state, const Clock& clock) {
    return clock.wallAfter(state.AutoClockTime.load() - clock.steadySeconds());
}
} // namespace

void SetAutoClock(State& state, const Clock& clock, double seconds) {
    state.AutoClockTime = clock.steadySeconds() + seconds;
    ShowAutoClock(state, clock);
}

bool AutoClockShownStale(const State& state, const Clock& clock) {
    return std::abs(ShownTime(state, clock) - state.AutoClockWall.load()) > kStaleDays;
}

void ShowAutoClock(State& state, const Clock& clock) {
    const double shown = ShownTime(state, clock);
    state.AutoClockWall = shown;
    state.AutoClock.setText(FormatDateTime(state.DATEFORMAT.text(), shown));
}

} // namespace zantrel
