#include "chart/chart_overlays.h"

#include "chart/storage_interval.h"

#include <algorithm>

namespace zantrel {

namespace {

// Readings from here up are gaps, as on the main chart.
constexpr float kDrawLimit = 9998.0f;

void AddValue(ChartSeries& series, double t, float value, double shown, uint32_t colour) {
    if (value < kDrawLimit)
        series.AddPoint(t, shown, {}, colour);
    else
        series.AddNullPoint(t, {});
}

} // namespace

void ChartOverlays::add(const QByteArray& name, ReadingsStore readings, bool humidity) {
    ChartOverlay& overlay = overlays_.emplace_back();
    overlay.name = name;
    overlay.colour = kOverlayPalette[(overlays_.size() - 1) % kOverlayPalette.size()];
    overlay.humidity = humidity;
    overlay.readings = std::move(readings);
    draw(overlay);
    changed();
}

void ChartOverlays::clear() {
    if (overlays_.empty() && mainName_.isEmpty()) return;
    overlays_.clear();
    mainName_.clear();
    changed();
}

void ChartOverlays::setFahrenheit(bool on) {
    if (fahrenheit_ == on) return;
    fahrenheit_ = on;
    for (ChartOverlay& overlay : overlays_)
        draw(overlay);
    changed();
}

void ChartOverlays::setMainName(const QByteArray& name) {
    if (mainName_ == name) return;
    mainName_ = name;
    changed();
}

void ChartOverlays::draw(ChartOverlay& overlay) const {
    overlay.Temperature.ClearPoints();
    overlay.Humidity.ClearPoints();
    const ReadingsStore& r = overlay.readings;
    const std::size_t count = std::min(r.ReadingTimes.size(), r.Temperatures.size());
    const double interval = StorageInterval(r.ReadingTimes);
    overlay.Temperature.reserve(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = r.ReadingTimes[i];
        const float c = r.Temperatures[i];
        // A hole in the file's record breaks its lines, as on the main chart.
        if (i > 0 && IsHole(t - r.ReadingTimes[i - 1], interval)) {
            overlay.Temperature.AddNullPoint(r.ReadingTimes[i - 1] + interval, {});
            if (overlay.humidity)
                overlay.Humidity.AddNullPoint(r.ReadingTimes[i - 1] + interval, {});
        }
        AddValue(overlay.Temperature, t, c, fahrenheit_ ? c * 1.8 + 32 : c, overlay.colour);
        if (overlay.humidity && i < r.Humidities.size())
            AddValue(overlay.Humidity, t, r.Humidities[i], r.Humidities[i], overlay.colour);
    }
}

void ChartOverlays::changed() {
    ++generation_;
    notify();
}

} // namespace zantrel
