#pragma once

#include "chart/chart_statistics.h"
#include "chart/readings_store.h"

#include <optional>
#include <vector>

namespace zantrel {

// One event the logger recorded: when, and what.
struct LoggerEvent {
    double time = 0; // day count
    EventKind kind = NewSensor;
};

// A temperature or humidity alarm from its start to its end. An alarm whose end the record
// lacks stays open (no end); an end without its start has no start.
struct AlarmPeriod {
    EventKind start = TempAlarmStart; // TempAlarmStart or RhAlarmStart: which alarm
    std::optional<double> from;
    std::optional<double> to;
};

// Every event of the store whose time lies in range, in time order; events at the same time
// in the order of the store's event lists.
std::vector<LoggerEvent> ListEvents(const ReadingsStore& store, const TimeRange& range);

// The alarm periods of events in time order, by the time they began (an end without its
// start by its end): each start takes the next end of its alarm; a start followed by another
// start of its alarm before an end stays open.
std::vector<AlarmPeriod> PairAlarms(const std::vector<LoggerEvent>& events);

} // namespace zantrel
