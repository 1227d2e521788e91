#pragma once

#include "core/date_parsing.h"
#include "core/format_settings.h"
#include "core/state.h"

#include <optional>

namespace zantrel {

// The next automatic download's time as the status line shows it ("Next Auto Download:"),
// read back; the shown date carries a four-digit year unless the system's format drops it.
inline std::optional<double> ShownAutoClock(const State& s, const FormatSettings& formats) {
    return ParseDateTime(s.AutoClock.text(), formats.shortDateFormat, 2026, formats.dateSeparator,
                         formats.timeSeparator);
}

} // namespace zantrel
