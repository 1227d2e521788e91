#pragma once

#include <ostream>

namespace zantrel {

class Engine;

// The session after a load as one JSON object: status, date format, samples per hour, the
// RH and encrypted flags, the user information, every reading, the seven event lists and the
// files loaded in the order merged.
// Times are local, "YYYY-MM-DDTHH:MM:SS" to the nearest second; numbers are the stored
// 32-bit values in their shortest form that reads back the same.
void WriteChartJson(std::ostream& out, Engine& engine);

// Rows, time span and the lowest and highest temperature (and humidity), gaps left out.
void WriteChartSummary(std::ostream& out, Engine& engine);

} // namespace zantrel
