#include "chart/chart_presenter.h"

#include "chart/chart_foot.h"
#include "chart/chart_model.h"
#include "chart/readings_drawing.h"
#include "chart/readings_store.h"
#include "core/channel_header.h"
#include "core/state.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zantrel {

namespace {

std::optional<double> ReadNumber(const QByteArray& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

ChartPresenter::ChartPresenter(State& state, const HeaderValues& header, ReadingsStore& readings,
                               ChartModel& chart, double& blockStart)
    : state_(state), header_(header), readings_(readings), chart_(chart), blockStart_(blockStart) {}

void ChartPresenter::RedrawChart() {
    if (!readings_.Temperatures.empty()) {
        if (const auto last =
                DrawReadings(readings_, state_.TempInF.checked(), state_.RHZL.checked(), chart_))
            blockStart_ = *last;
        UpdateChartFoot();
    }
    if (state_.AutoScale.checked()) chart_.LeftAxis.setAutomatic(true);
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
    facts.incomplete = state_.UploadIncomplete.text();
    if (const auto lines = ChartFootLines(facts)) chart_.setFoot(*lines);
}

void ChartPresenter::TempInFClick() {
    // Limits typed by hand frame the same temperatures in the other unit, so the line stays.
    if (!state_.AutoScale.checked()) {
        const bool fahrenheit = state_.TempInF.checked();
        for (Control* bound : {&state_.MaxTemp, &state_.MinTemp}) {
            const std::optional<double> value = ReadNumber(bound->text());
            if (!value) continue;
            const double shown = fahrenheit ? *value * 1.8 + 32 : (*value - 32) / 1.8;
            bound->setText(QByteArray::number(std::round(shown * 100) / 100, 'g', 15));
        }
        MaxTempExit();
    }
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
