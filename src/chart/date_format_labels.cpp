#include "chart/date_format_labels.h"

#include "chart/chart_model.h"
#include "core/date_formats.h"
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

} // namespace zantrel
