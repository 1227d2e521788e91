#include "chart/chart_presenter.h"

namespace zantrel {

ChartPresenter::ChartPresenter(State& state, const HeaderValues& header, ReadingsStore& readings,
                               ChartModel& chart, UploadBlocks& blocks)
    : state_(state), header_(header), readings_(readings), chart_(chart), blocks_(blocks) {}

void ChartPresenter::RedrawChart() {}
void ChartPresenter::UpdateChartFoot() {}
void ChartPresenter::TempInFClick() {}
void ChartPresenter::AutoScaleClick() {}
void ChartPresenter::MaxTempExit() {}
void ChartPresenter::MinTempExit() {}
void ChartPresenter::RHZLClick() {}

} // namespace zantrel
