#include "chart/event_list.h"

#include <algorithm>
#include <array>

namespace zantrel {

std::vector<LoggerEvent> ListEvents(const ReadingsStore& store, const TimeRange& range) {
    std::vector<LoggerEvent> events;
    for (int kind = 0; kind < EventKindCount; ++kind)
        for (const double t : store.Events[kind])
            if (t >= range.from && t <= range.to)
                events.push_back({t, static_cast<EventKind>(kind)});
    std::stable_sort(events.begin(), events.end(),
                     [](const LoggerEvent& a, const LoggerEvent& b) { return a.time < b.time; });
    return events;
}

std::vector<AlarmPeriod> PairAlarms(const std::vector<LoggerEvent>& events) {
    std::vector<AlarmPeriod> periods;
    // The index in periods of each alarm's open period, by its start kind.
    std::array<std::optional<std::size_t>, EventKindCount> open{};
    for (const LoggerEvent& e : events) {
        const bool starts = e.kind == TempAlarmStart || e.kind == RhAlarmStart;
        const bool ends = e.kind == TempAlarmEnd || e.kind == RhAlarmEnd;
        if (!starts && !ends) continue;
        const EventKind alarm =
            e.kind == TempAlarmStart || e.kind == TempAlarmEnd ? TempAlarmStart : RhAlarmStart;
        std::optional<std::size_t>& current = open[alarm];
        if (starts) {
            current = periods.size();
            periods.push_back({alarm, e.time, std::nullopt});
        } else if (current) {
            periods[*current].to = e.time;
            current.reset();
        } else {
            periods.push_back({alarm, std::nullopt, e.time});
        }
    }
    return periods;
}

} // namespace zantrel
