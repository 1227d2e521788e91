#include "chart/chart_model.h"

namespace zantrel {

void AxisState::setRange(double min, double max) {
    if (minimum == min && maximum == max) return;
    minimum = min;
    maximum = max;
    notify();
}

void AxisState::setMinimum(double min) {
    setRange(min, maximum);
}

void AxisState::setMaximum(double max) {
    setRange(minimum, max);
}

void AxisState::setAutomatic(bool on) {
    if (automatic == on) return;
    automatic = on;
    notify();
}

void AxisState::setVisible(bool on) {
    if (visible == on) return;
    visible = on;
    notify();
}

void ShownTimeRange::set(double first, double last) {
    if (known && from == first && to == last) return;
    from = first;
    to = last;
    known = true;
    notify();
}

ChartModel::ChartModel() {
    LeftAxis.minimum = 0;
    LeftAxis.maximum = 100;
    RightAxis.minimum = -12;
    RightAxis.maximum = 88;
    RightAxis.visible = false;
    BottomAxis.automatic = true;
}

void ChartModel::setTimeLabelFormat(const QByteArray& format) {
    if (TimeLabelFormat == format) return;
    TimeLabelFormat = format;
    notify();
}

void ChartModel::setFoot(const QList<QByteArray>& lines) {
    if (Foot == lines) return;
    Foot = lines;
    notify();
}

void ChartModel::Chart1Zoom() {
    RightAxis.setRange(0, 100);
}

} // namespace zantrel
