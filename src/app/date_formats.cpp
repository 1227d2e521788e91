#include "app/date_formats.h"

#include "app/state.h"
#include "chart/chart_model.h"

namespace zantrel {

int DateFormatItem(const QByteArray& format) {
    for (int i = 0; i < static_cast<int>(kDateFormats.size()); ++i)
        if (format == kDateFormats[i]) return i;
    return -1;
}

void ApplyDateFormat(State& state, ChartModel& chart) {
    const QByteArray format = state.DATEFORMAT.text();
    const int item = DateFormatItem(format);
    if (item >= 0)
        for (int i = 0; i < static_cast<int>(state.DateFormatItems.size()); ++i)
            state.DateFormatItems[i].setChecked(i == item);
    chart.setTimeLabelFormat(format);
}

} // namespace zantrel
