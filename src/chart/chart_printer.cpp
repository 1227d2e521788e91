#include "chart/chart_printer.h"

#include "app/date_time.h"
#include "app/engine.h"
#include "app/host.h"

namespace zantrel {

QByteArray PrintStamp(bool secureData, const QByteArray& dateTime) {
    const QByteArray lead =
        secureData ? "[Secure Data]" + QByteArray(74, ' ') : QByteArray(87, ' ');
    return lead + "Printed " + dateTime;
}

ChartPrinter::ChartPrinter(Engine& engine) : engine_(engine) {}

void ChartPrinter::Button1Click() {
    {
        ModalScope modal(engine_.handoffs());
        if (!engine_.host().printDialog()) return;
    }
    ChartModel& chart = engine_.chart();
    const QList<QByteArray> before = chart.Foot;
    QList<QByteArray> stamped = before;
    stamped.append(PrintStamp(engine_.state().LockImage.visible(),
                              FormatDateTimeDefault(engine_.clock().now(), engine_.formats())));
    chart.setFoot(stamped);
    {
        ModalScope printing(engine_.handoffs());
        engine_.host().printChart();
    }
    engine_.presenter().UpdateChartFoot();
    // The rebuild keeps the foot as it is when the rate text is not a number; the stamp
    // must still never stay on screen.
    if (chart.Foot == stamped) chart.setFoot(before);
}

} // namespace zantrel
