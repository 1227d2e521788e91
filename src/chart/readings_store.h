#pragma once

#include <array>
#include <vector>

namespace zantrel {

// Marks a reading without a value (a gap).
inline constexpr float NoReading = 9999.0f;

enum EventKind {
    NewSensor,
    TempAlarmStart,
    RhAlarmStart,
    TempAlarmEnd,
    RhAlarmEnd,
    TestStart,
    TestEnd,
    EventKindCount
};

// The readings of the current session: times (day counts), temperatures in Celsius and
// humidities in percent, and the seven event lists in order of arrival.
struct ReadingsStore {
    std::vector<double> ReadingTimes;
    std::vector<float> Temperatures;
    std::vector<float> Humidities; // empty when the channel has no humidity sensor
    std::array<std::vector<double>, EventKindCount> Events;

    std::vector<double>& NewSensorEvents() { return Events[NewSensor]; }
    std::vector<double>& TempAlarmStartEvents() { return Events[TempAlarmStart]; }
    std::vector<double>& RhAlarmStartEvents() { return Events[RhAlarmStart]; }
    std::vector<double>& TempAlarmEndEvents() { return Events[TempAlarmEnd]; }
    std::vector<double>& RhAlarmEndEvents() { return Events[RhAlarmEnd]; }
    std::vector<double>& TestStartEvents() { return Events[TestStart]; }
    std::vector<double>& TestEndEvents() { return Events[TestEnd]; }

    void clear() {
        ReadingTimes.clear();
        Temperatures.clear();
        Humidities.clear();
        for (auto& list : Events)
            list.clear();
    }
};

} // namespace zantrel
