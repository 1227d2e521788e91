#include "chart/chart_presenter.h"

#include "chart/chart_foot.h"
#include "chart/chart_model.h"
#include "chart/event_labels.h"
#include "chart/readings_store.h"
#include "chart/storage_interval.h"
#include "core/channel_header.h"
#include "core/state.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zantrel {

namespace {

// Readings from here up are not drawn on a redraw.
constexpr float kDrawLimit = 9998.0f;

std::optional<double> ReadNumber(const QByteArray& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool GapBefore(const std::vector<float>& values, std::size_t i) {
    return i >= 1 && i - 1 < values.size() && values[i - 1] == NoReading;
}

} // namespace

ChartPresenter::ChartPresenter(State& state, const HeaderValues& header, ReadingsStore& readings,
                               ChartModel& chart, double& blockStart)
    : state_(state), header_(header), readings_(readings), chart_(chart), blockStart_(blockStart) {}

void ChartPresenter::RedrawChart() {
    if (!readings_.Temperatures.empty()) {
        drawStore();
        UpdateChartFoot();
    }
    if (state_.AutoScale.checked()) chart_.LeftAxis.setAutomatic(true);
}

void ChartPresenter::drawStore() {
    chart_.Series1.ClearPoints();
    chart_.Series2.ClearPoints();
    const std::vector<double>& times = readings_.ReadingTimes;
    const std::vector<float>& temperatures = readings_.Temperatures;
    const std::vector<float>& humidities = readings_.Humidities;
    const std::size_t count = std::min(times.size(), temperatures.size());
    if (count == 0) return;
    const bool eventsInRange = HasEventsInRange(readings_.Events, times.front(), times[count - 1]);
    const bool fahrenheit = state_.TempInF.checked();
    const bool humidity = state_.RHZL.checked();
    const double interval = StorageInterval(times);
    EventLabeller labeller(readings_.Events, TestStartMark::Redrawn);
    chart_.Series1.reserve(static_cast<int>(count));
    chart_.Series2.reserve(static_cast<int>(count));

    for (std::size_t i = 0; i < count; ++i) {
        const double t = times[i];
        const float c = temperatures[i];
        blockStart_ = t;
        // A hole in the record (files merged with time between them): both lines break
        // one interval after the reading before it.
        if (i > 0 && IsHole(t - times[i - 1], interval) &&
            (chart_.Series1.PointCount() > 0 || chart_.Series2.PointCount() > 0)) {
            chart_.Series1.AddNullPoint(times[i - 1] + interval, {});
            chart_.Series2.AddNullPoint(times[i - 1] + interval, {});
        }
        const double y = fahrenheit ? c * 1.8 + 32 : c;
        QByteArray label = labeller.next(t);
        if (chart_.Series1.PointCount() == 0 && chart_.Series2.PointCount() == 0 &&
            label.isEmpty() && !eventsInRange)
            label = ".";
        const bool drawn = c < kDrawLimit;
        if (drawn) chart_.Series1.AddPoint(t, y, {}, GapBefore(temperatures, i) ? kSilver : kRed);
        if (humidity && i < humidities.size() && humidities[i] < kDrawLimit)
            chart_.Series2.AddPoint(t, humidities[i], label,
                                    GapBefore(humidities, i) ? kSilver : kBlue);
        else if (drawn)
            chart_.Series2.AddNullPoint(t, label);
    }
}

void ChartPresenter::UpdateChartFoot() {
    FootFacts facts;
    facts.fahrenheit = state_.TempInF.checked();
    facts.samplesPerHour = state_.Samplesperhour.text();
    facts.storageText = state_.Datastored.text();
    facts.humidity = state_.RHZL.checked();
    facts.iirHumidity = state_.LoggerVersion == 2;
    facts.humidityIirPercent = header_.channel(state_.channel1Selected()).Sensors[1].IirPercent;
    facts.userName = state_.UserName;
    facts.userLocation = state_.UserLocation;
    facts.unitId = state_.UnitId;
    if (const auto lines = ChartFootLines(facts)) chart_.setFoot(*lines);
}

void ChartPresenter::TempInFClick() {
    RedrawChart();
}

void ChartPresenter::AutoScaleClick() {
    const bool automatic = state_.AutoScale.checked();
    state_.MaxTemp.setEnabled(!automatic);
    state_.MinTemp.setEnabled(!automatic);
    if (automatic) {
        chart_.LeftAxis.setAutomatic(true);
        return;
    }
    // A bound that is not a number stops here; what was set before it stays.
    const std::optional<double> max = ReadNumber(state_.MaxTemp.text());
    if (!max) return;
    chart_.LeftAxis.setMaximum(*max);
    const std::optional<double> min = ReadNumber(state_.MinTemp.text());
    if (!min) return;
    chart_.LeftAxis.setMinimum(*min);
    chart_.LeftAxis.setAutomatic(false);
}

std::optional<std::pair<double, double>> ChartPresenter::typedBounds() const {
    const QByteArray& maxText = state_.MaxTemp.text();
    const QByteArray& minText = state_.MinTemp.text();
    if (maxText.isEmpty() || minText.isEmpty() || maxText == "-" || minText == "-")
        return std::nullopt;
    const std::optional<double> max = ReadNumber(maxText);
    const std::optional<double> min = ReadNumber(minText);
    if (!max || !min || *max < *min) return std::nullopt;
    return std::make_pair(*min, *max);
}

void ChartPresenter::MaxTempExit() {
    if (const auto bounds = typedBounds()) {
        chart_.LeftAxis.setMinimum(bounds->first);
        chart_.LeftAxis.setMaximum(bounds->second);
    }
}

void ChartPresenter::MinTempExit() {
    if (const auto bounds = typedBounds()) {
        chart_.LeftAxis.setMaximum(bounds->second);
        chart_.LeftAxis.setMinimum(bounds->first);
    }
}

void ChartPresenter::RHZLClick() {
    const bool humidity = state_.RHZL.checked();
    chart_.RightAxis.setVisible(humidity);
    state_.RhHexDigits = humidity ? 2 : 0;
}

} // namespace zantrel
