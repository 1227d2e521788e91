#include "chart/chart_printer.h"

#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "core/clock.h"
#include "core/date_rendering.h"
#include "core/dialogs.h"
#include "core/state.h"

namespace zantrel {

QByteArray PrintStamp(bool secureData, const QByteArray& dateTime) {
    const QByteArray lead =
        secureData ? "[Secure Data]" + QByteArray(74, ' ') : QByteArray(87, ' ');
    return lead + "Printed " + dateTime;
}

namespace {

// What the printout is of: the chart file the caption names (its name without the folder),
// the channel and the ZL ID.
QByteArray PrintSource(const State& state) {
    const QList<QByteArray> parts = state.Caption.text().split('|');
    QByteArray file = "not saved";
    if (parts.size() > 1 && parts[1].trimmed() != state.CaptionSuffix) {
        file = parts[1].trimmed();
        file = file.mid(file.lastIndexOf('/', file.indexOf(" + ")) + 1);
    }
    const QByteArray id = state.UnitId.isEmpty() ? QByteArray("none") : state.UnitId;
    return "File: " + file + "   Channel " + (state.channel1Selected() ? "1" : "2") +
           "   ZL ID=" + id;
}

} // namespace

ChartPrinter::ChartPrinter(const State& state, ChartModel& chart, ChartPresenter& presenter,
                           Dialogs& dialogs, Clock& clock)
    : state_(state), chart_(chart), presenter_(presenter), dialogs_(dialogs), clock_(clock) {}

void ChartPrinter::Button1Click() {
    if (!dialogs_.print()) return;
    const QList<QByteArray> before = chart_.Foot;
    QList<QByteArray> stamped = before;
    stamped.append(PrintSource(state_));
    stamped.append(PrintStamp(state_.LockImage.visible(),
                              FormatDateTime(state_.DATEFORMAT.text(), clock_.now())));
    chart_.setFoot(stamped);
    dialogs_.printChart();
    presenter_.UpdateChartFoot();
    // The rebuild keeps the foot as it is when the rate text is not a number; the stamp
    // must still never stay on screen.
    if (chart_.Foot == stamped) chart_.setFoot(before);
}

} // namespace zantrel
