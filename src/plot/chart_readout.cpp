#include "plot/chart_readout.h"

#include "chart/chart_series.h"
#include "plot/series_graphs_view.h"

#include <QDateTime>
#include <cmath>

namespace zantrel {

namespace {

bool Drawn(const ChartSeries& series, int i) {
    return !series.isNull(i) && series.label(i) != "No data";
}

} // namespace

int NearestPoint(const ChartSeries& series, double dayCount) {
    // The first point at or after the time, then the nearest drawn one on either side.
    int lo = 0;
    int hi = series.PointCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (series.x(mid) < dayCount)
            lo = mid + 1;
        else
            hi = mid;
    }
    int after = lo;
    while (after < series.PointCount() && !Drawn(series, after))
        ++after;
    int before = lo - 1;
    while (before >= 0 && !Drawn(series, before))
        --before;
    if (before < 0) return after < series.PointCount() ? after : -1;
    if (after >= series.PointCount()) return before;
    return dayCount - series.x(before) <= series.x(after) - dayCount ? before : after;
}

QString ReadoutText(const QString& timeFormat, double dayCount, double temperature, bool fahrenheit,
                    std::optional<double> humidity) {
    const QDateTime time =
        QDateTime::fromMSecsSinceEpoch(std::llround(ChartKey(dayCount) * 1000), Qt::UTC);
    QString text = time.toString(timeFormat) + "   " + QString::number(temperature, 'f', 2) + ' ' +
                   QChar(0x00B0) + (fahrenheit ? 'F' : 'C');
    if (humidity) text += "   " + QString::number(*humidity, 'f', 1) + " %RH";
    return text;
}

} // namespace zantrel
