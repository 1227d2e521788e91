#include "schedule/download_schedule_ticker.h"

#include "core/auto_clock.h"
#include "core/state.h"

namespace zantrel {

DownloadScheduleTicker::DownloadScheduleTicker(State& state, const Clock& clock)
    : state_(state), clock_(clock) {}

void DownloadScheduleTicker::tick() {
    struct Interval {
        const Control* item;
        double days;
    };
    const Interval intervals[] = {{&state_.Auto1hour, 1.0 / 24}, {&state_.Auto4hours, 4.0 / 24},
                                  {&state_.Auto8hrs, 8.0 / 24},  {&state_.Auto24hrs, 1},
                                  {&state_.Auto7day, 7},         {&state_.Auto30day, 30}};
    for (const Interval& interval : intervals)
        if (interval.item->checked()) SetAutoClock(state_, clock_, interval.days * 86400);
    // An upload started by hand keeps its channel: its later blocks are requested for it.
    if (!state_.AbortUpload.enabled()) {
        const bool channel1 = state_.C1.checked();
        state_.RadioButton1.setChecked(channel1);
        state_.RadioButton2.setChecked(!channel1);
    }
    const QByteArray file = state_.Edit2.text();
    if (!file.isEmpty() && file != "0") state_.InitAutoload.tick();
}

} // namespace zantrel
