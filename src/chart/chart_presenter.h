#pragma once

#include <optional>
#include <utility>

namespace zantrel {

struct State;
struct HeaderValues;
struct ReadingsStore;
struct ChartModel;

// Everything the user sees of the readings: redraws from the store, the foot text, units,
// the temperature axis bounds and the humidity axis.
class ChartPresenter {
  public:
    // blockStart is the upload's block start, which a redraw leaves at the last reading.
    ChartPresenter(State& state, const HeaderValues& header, ReadingsStore& readings,
                   ChartModel& chart, double& blockStart);

    // Rebuilds both series from the store (test starts marked "ts"), leaving the last
    // reading's time in BlockStart; then the foot, and the automatic temperature axis when
    // Auto Scale is checked.
    void RedrawChart();
    void UpdateChartFoot();
    void TempInFClick();
    void AutoScaleClick();
    void MaxTempExit();
    void MinTempExit();
    void RHZLClick();

  private:
    // Minimum and maximum typed in MinTemp and MaxTemp, when both are numbers and in order.
    std::optional<std::pair<double, double>> typedBounds() const;

    State& state_;
    const HeaderValues& header_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    double& blockStart_;
};

} // namespace zantrel
