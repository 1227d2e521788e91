#include "chart/readings_drawing.h"

#include "chart/chart_model.h"
#include "chart/event_labels.h"
#include "chart/readings_store.h"
#include "chart/storage_interval.h"

#include <algorithm>

namespace zantrel {

namespace {

// Readings from here up are not drawn.
constexpr float kDrawLimit = 9998.0f;

bool GapBefore(const std::vector<float>& values, std::size_t i) {
    return i >= 1 && i - 1 < values.size() && values[i - 1] == NoReading;
}

} // namespace

std::optional<double> DrawReadings(const ReadingsStore& store, bool fahrenheit, bool humidity,
                                   ChartModel& chart) {
    // The chart's unit: its overlays and its band are drawn in it too.
    chart.Overlays.setFahrenheit(fahrenheit);
    chart.Series1.ClearPoints();
    chart.Series2.ClearPoints();
    const std::vector<double>& times = store.ReadingTimes;
    const std::vector<float>& temperatures = store.Temperatures;
    const std::vector<float>& humidities = store.Humidities;
    const std::size_t count = std::min(times.size(), temperatures.size());
    if (count == 0) return std::nullopt;
    const bool eventsInRange = HasEventsInRange(store.Events, times.front(), times[count - 1]);
    const double interval = StorageInterval(times);
    EventLabeller labeller(store.Events);
    chart.Series1.reserve(static_cast<int>(count));
    chart.Series2.reserve(static_cast<int>(count));

    for (std::size_t i = 0; i < count; ++i) {
        const double t = times[i];
        const float c = temperatures[i];
        // A hole in the record (files merged with time between them): both lines break
        // one interval after the reading before it.
        if (i > 0 && IsHole(t - times[i - 1], interval) &&
            (chart.Series1.PointCount() > 0 || chart.Series2.PointCount() > 0)) {
            chart.Series1.AddNullPoint(times[i - 1] + interval, {});
            chart.Series2.AddNullPoint(times[i - 1] + interval, {});
        }
        const double y = fahrenheit ? c * 1.8 + 32 : c;
        QByteArray label = labeller.next(t);
        if (chart.Series1.PointCount() == 0 && chart.Series2.PointCount() == 0 && label.isEmpty() &&
            !eventsInRange)
            label = ".";
        const bool drawn = c < kDrawLimit;
        if (drawn) chart.Series1.AddPoint(t, y, {}, GapBefore(temperatures, i) ? kSilver : kRed);
        if (humidity && i < humidities.size() && humidities[i] < kDrawLimit)
            chart.Series2.AddPoint(t, humidities[i], label,
                                   GapBefore(humidities, i) ? kSilver : kBlue);
        else if (drawn)
            chart.Series2.AddNullPoint(t, label);
    }
    return times[count - 1];
}

} // namespace zantrel
