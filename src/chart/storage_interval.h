#pragma once

#include <vector>

namespace zantrel {

// The storage interval of a chart, days: the most common step between neighbouring readings
// (of equally common steps the shortest), 0 with fewer than two readings. Steps are taken to
// the millisecond. For one download it is the logger's interval, since the logger writes a
// gap reading for every reading it missed; charts merged from several files keep it too.
double StorageInterval(const std::vector<double>& times);

// Whether the step between two neighbouring readings is a hole in the record: more than one
// and a half storage intervals without a reading, which no line bridges.
inline bool IsHole(double step, double interval) {
    return interval > 0 && step > 1.5 * interval;
}

} // namespace zantrel
