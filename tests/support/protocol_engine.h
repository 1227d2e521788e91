#pragma once

#include "app_engine.h"
#include "chart/chart_series.h"
#include "core/state.h"

#include <QByteArray>
#include <QList>

namespace zantrel {

// An engine started in an empty folder without a serial port, on virtual time (1 January 2010
// 12:00: two-digit years run from 1960 to 2059), that records every text written into the
// next-block slot and the status line.
struct PortlessEngine : AppEngine<> {
    QList<QByteArray> memo1;
    QList<QByteArray> status;

    PortlessEngine() {
        State& s = start(QByteArray("NA")).state();
        s.Memo1.subscribe([this, &s] { memo1.append(s.Memo1.text()); });
        s.Edit1.subscribe([this, &s] { status.append(s.Edit1.text()); });
    }
    // The engine's shut-down still writes the recorded slots.
    ~PortlessEngine() { engine.reset(); }

    ReadingsStore& store() { return engine->readings(); }
    ChartModel& chart() { return engine->chart(); }
};

// Each point of a series as a letter: R red, B blue, S silver, N a null point; then each
// point's label, "|" between points.
inline QByteArray SeriesPoints(const ChartSeries& series) {
    QByteArray colours;
    QList<QByteArray> labels;
    for (int i = 0; i < series.PointCount(); ++i) {
        const uint32_t c = series.colour(i);
        colours += series.isNull(i) ? 'N' : c == kRed ? 'R' : c == kBlue ? 'B' : 'S';
        labels.append(series.label(i));
    }
    return colours + " " + labels.join('|');
}

} // namespace zantrel
