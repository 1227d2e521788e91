#pragma once

#include "chart/readings_store.h"
#include "chart_file_harness.h"

namespace zantrel {

// What a logger recorded: 300 readings of temperature (reading 40 a gap) and humidity every
// quarter hour from 1 December 2026, with an alarm, a test counted twice and a sensor change.
inline ReadingsStore LoggerRecord() {
    ReadingsStore r;
    for (int i = 0; i < 300; ++i) {
        r.ReadingTimes.push_back(At(2026, 12, 1, 0, 0, 0) + i * 900 / 86400.0);
        r.Temperatures.push_back(i == 40 ? NoReading : 4.0f + static_cast<float>(i % 9) / 4);
        r.Humidities.push_back(50.0f + static_cast<float>(i % 5));
    }
    r.Events[NewSensor] = {r.ReadingTimes[0], r.ReadingTimes[150]};
    r.Events[TempAlarmStart] = {r.ReadingTimes[105]};
    r.Events[TempAlarmEnd] = {r.ReadingTimes[110]};
    r.Events[TestStart] = {r.ReadingTimes[205], r.ReadingTimes[205]};
    return r;
}

// The readings [from, to) of a record with the events among them.
inline ReadingsStore Slice(const ReadingsStore& r, std::size_t from, std::size_t to) {
    ReadingsStore part;
    part.ReadingTimes.assign(r.ReadingTimes.begin() + from, r.ReadingTimes.begin() + to);
    part.Temperatures.assign(r.Temperatures.begin() + from, r.Temperatures.begin() + to);
    part.Humidities.assign(r.Humidities.begin() + from, r.Humidities.begin() + to);
    for (int kind = 0; kind < EventKindCount; ++kind)
        for (double t : r.Events[kind])
            if (t >= r.ReadingTimes[from] && t <= r.ReadingTimes[to - 1])
                part.Events[kind].push_back(t);
    return part;
}

// Saves readings as name (a chart file and its duplicate) in the harness's folder as a
// loaded chart is saved again (no new sensor added); returns the duplicate's path.
inline QByteArray SavePiece(ChartFileHarness& h, const ReadingsStore& readings,
                            const QString& name) {
    h.store() = readings;
    h.s().RHZL.set(!readings.Humidities.empty());
    h.s().FreshData.clear();
    h.save(name + ".csv");
    return h.pathOf(name + ".zlx");
}

// Times in whole seconds, as chart files keep them.
inline std::vector<long long> Seconds(const std::vector<double>& times) {
    std::vector<long long> seconds;
    for (double t : times)
        seconds.push_back(std::llround(t * 86400));
    return seconds;
}

} // namespace zantrel
