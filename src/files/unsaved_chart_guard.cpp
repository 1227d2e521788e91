#include "files/unsaved_chart_guard.h"

#include "chart/readings_store.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "files/user_info_dialogs.h"

namespace zantrel {

UnsavedChartGuard::UnsavedChartGuard(State& state, const ReadingsStore& readings,
                                     UserInfoDialogs& userInfo, Dialogs& dialogs)
    : state_(state), readings_(readings), userInfo_(userInfo), dialogs_(dialogs) {}

bool UnsavedChartGuard::mayClear() {
    if (!state_.UnsavedReadings.checked() || readings_.ReadingTimes.empty()) return true;
    switch (dialogs_.askSaveFirst(kSaveFirstQuestion)) {
    case Host::SaveFirst::Discard:
        return true;
    case Host::SaveFirst::Save:
        // A save that was cancelled or failed keeps the chart.
        userInfo_.saveWithStoredInformation();
        return !state_.UnsavedReadings.checked();
    case Host::SaveFirst::Cancel:
        break;
    }
    return false;
}

} // namespace zantrel
