#pragma once

#include <cstddef>
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

// A span of days in whole milliseconds (none when negative), so that sums of them are exact.
double Milliseconds(double days);

// The time reading i of times stands for, in whole milliseconds: to the next reading, or for
// the last reading the step before it; one storage interval where that step is a hole.
double ReadingMilliseconds(const std::vector<double>& times, std::size_t i, double interval);

// When the time reading i stands for ends (a day count): the next reading's time, or where
// that step is a hole or reading i is the last, its time plus the span it stands for.
double ReadingEnd(const std::vector<double>& times, std::size_t i, double interval);

} // namespace zantrel
