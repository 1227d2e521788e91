#pragma once

#include "chart/chart_limits.h"
#include "chart/chart_overlays.h"
#include "chart/chart_series.h"
#include "core/observable.h"

#include <QByteArray>
#include <QList>

namespace zantrel {

// One axis of the chart: its range, whether it scales itself, and whether it is shown.
struct AxisState : Observable {
    double minimum = 0;
    double maximum = 100;
    bool automatic = false;
    bool visible = true;

    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    void setAutomatic(bool on);
    void setVisible(bool on);
};

// The time range the chart shows now, as its view reports it after every zoom, pan and
// change of the axis (day counts). Unknown until a view has shown one.
struct ShownTimeRange : Observable {
    double from = 0;
    double to = 0;
    bool known = false;

    void set(double first, double last);
};

// What the chart shows, as the engine decides it: the two series, the files overlaid on them,
// the allowed band, the axes, the time label format and the title and foot texts. The chart
// view renders it.
struct ChartModel : Observable {
    ChartSeries Series1; // temperature: left and bottom axes
    ChartSeries Series2; // relative humidity: right and top axes
    ChartOverlays Overlays;
    ChartLimits Limits; // drawn only when a limit is set
    AxisState LeftAxis;
    AxisState RightAxis;
    AxisState BottomAxis;
    // Not a setting: BottomAxis asks for a range, this is the one on screen.
    ShownTimeRange ShownTime;
    // Where an empty chart's "No data" mark stands: noon of the day the program started, so
    // that its time axis shows that day.
    double NoDataTime = 0;
    QByteArray Title = "TWO DIMENSIONAL TEMPERATURE RECORDER";
    QByteArray TimeLabelFormat = "M/d/yy hh:mm:ss AM/PM";
    QList<QByteArray> Foot{"User="};

    ChartModel();
    void setTimeLabelFormat(const QByteArray& format);
    void setFoot(const QList<QByteArray>& lines);
    // After the user zoomed or panned: the humidity axis goes back to 0 to 100, so zoom
    // and pan act on the time and temperature axes only.
    void Chart1Zoom();
    void Chart1Scroll() { Chart1Zoom(); }
};

} // namespace zantrel
