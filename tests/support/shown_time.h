#pragma once

#include "core/date_parsing.h"
#include "core/state.h"

#include <optional>

namespace zantrel {

// The next automatic download's time as the status line shows it ("Next Auto Download:"),
// read back in the chosen date format.
inline std::optional<double> ShownAutoClock(const State& s) {
    return ParseDateTime(s.AutoClock.text(), s.DATEFORMAT.text(), 2026);
}

} // namespace zantrel
