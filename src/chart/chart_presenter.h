#pragma once

namespace zantrel {

struct State;
struct HeaderValues;
struct UploadBlocks;
struct ReadingsStore;
struct ChartModel;

// Everything the user sees of the readings: redraws from the store, the foot text, units,
// the temperature axis bounds and the humidity axis.
class ChartPresenter {
public:
    ChartPresenter(State& state, const HeaderValues& header, ReadingsStore& readings,
                   ChartModel& chart, UploadBlocks& blocks);

    void RedrawChart();
    void UpdateChartFoot();
    void TempInFClick();
    void AutoScaleClick();
    void MaxTempExit();
    void MinTempExit();
    void RHZLClick();

private:
    State& state_;
    const HeaderValues& header_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    UploadBlocks& blocks_;
};

} // namespace zantrel
