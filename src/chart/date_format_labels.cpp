#include "chart/date_format_labels.h"

#include "chart/chart_model.h"
#include "core/date_formats.h"
#include "core/dialogs.h"
#include "core/settings_files.h"
#include "core/state.h"

namespace zantrel {

void ApplyDateFormat(State& state, ChartModel& chart) {
    const QByteArray format = state.DATEFORMAT.text();
    const int item = DateFormatItem(format);
    if (item >= 0)
        for (int i = 0; i < static_cast<int>(state.DateFormatItems.size()); ++i)
            state.DateFormatItems[i].setChecked(i == item);
    chart.setTimeLabelFormat(format);
}

void DateFormatClick(State& state, ChartModel& chart, Dialogs& dialogs, int item) {
    if (item < 0 || item >= static_cast<int>(kDateFormats.size())) return;
    for (int i = 0; i < static_cast<int>(state.DateFormatItems.size()); ++i)
        state.DateFormatItems[i].setChecked(i == item);
    state.DATEFORMAT.setText(kDateFormats[item]);
    const QByteArray problem =
        SaveSetting(state.DATEFORMAT, state.ThisAppDir.text(), kDateFormatFile);
    chart.setTimeLabelFormat(state.DATEFORMAT.text());
    if (!problem.isEmpty()) dialogs.problem(problem);
}

} // namespace zantrel
