#pragma once

#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "core/state.h"

#include <QString>

namespace zantrel {

// What a logger recorded: 300 readings of temperature and humidity every quarter hour from
// 1 December 2026, with a temperature alarm, a test and a sensor change among them.
inline ReadingsStore LoggerRecord() {
    ReadingsStore record;
    const double first = At(2026, 12, 1, 0, 0, 0);
    for (int i = 0; i < 300; ++i) {
        record.ReadingTimes.push_back(first + i * 900 / 86400.0);
        record.Temperatures.push_back(i == 40 ? NoReading : 4.0f + static_cast<float>(i % 9) / 4);
        record.Humidities.push_back(50.0f + static_cast<float>(i % 5));
    }
    const auto at = [&record](int i) { return record.ReadingTimes[static_cast<std::size_t>(i)]; };
    record.Events[NewSensor] = {at(0), at(150)};
    record.Events[TempAlarmStart] = {at(105)};
    record.Events[TempAlarmEnd] = {at(110)};
    record.Events[TestStart] = {at(205), at(205)};
    return record;
}

// The readings [from, to) of a record with the events among them.
inline ReadingsStore Slice(const ReadingsStore& record, int from, int to) {
    ReadingsStore part;
    const auto begin = static_cast<std::size_t>(from), end = static_cast<std::size_t>(to);
    part.ReadingTimes.assign(record.ReadingTimes.begin() + from, record.ReadingTimes.begin() + to);
    part.Temperatures.assign(record.Temperatures.begin() + from, record.Temperatures.begin() + to);
    part.Humidities.assign(record.Humidities.begin() + from, record.Humidities.begin() + to);
    for (int kind = 0; kind < EventKindCount; ++kind)
        for (double t : record.Events[kind])
            if (t >= record.ReadingTimes[begin] && t <= record.ReadingTimes[end - 1])
                part.Events[kind].push_back(t);
    return part;
}

// Saves readings as the chart file name and its duplicate in the harness's folder, as a
// chart loaded and saved again is written (no new sensor added); returns the duplicate's path.
inline QByteArray SavePiece(ChartFileHarness& h, const ReadingsStore& readings,
                            const QString& name) {
    h.store() = readings;
    h.s().RHZL.set(!readings.Humidities.empty());
    h.s().FreshData.clear();
    h.save(name + ".csv");
    return h.pathOf(name + ".zlx");
}

} // namespace zantrel
