#pragma once

#include "chart_file_harness.h"

#include <QList>
#include <QtTest>

namespace zantrel {

// A chart to save for the exports: readings from `first` every `stepSeconds`, NoReading
// for a gap, humidity when rh is given.
struct ExportChart {
    QByteArray unit = "17";
    QByteArray location = "Lab 2";
    double first = At(2010, 3, 1, 0, 0, 0);
    int stepSeconds = 15;
    QList<float> celsius;
    QList<float> rh;
};

// Saves the chart as name (a .csv and its .zlx duplicate) and returns the path of the
// duplicate, which the exports read.
inline QByteArray SaveExportChart(ChartFileHarness& h, const QString& name, const ExportChart& c) {
    h.store().clear();
    for (int i = 0; i < c.celsius.size(); ++i) {
        h.store().ReadingTimes.push_back(c.first + i * c.stepSeconds / 86400.0);
        h.store().Temperatures.push_back(c.celsius[i]);
        if (!c.rh.isEmpty()) h.store().Humidities.push_back(c.rh[i]);
    }
    h.s().RHZL.set(!c.rh.isEmpty());
    h.s().Form5.ZLInfo.setText(c.unit);
    h.s().Form5.UserLocation.setText(c.location);
    h.s().Form5.UserInfo.setText("Ann");
    h.save(name);
    if (h.s().Edit1.text() != kSaved) qWarning() << "not saved:" << h.s().Edit1.text();
    QString duplicate = name;
    duplicate.replace(".csv", ".zlx");
    return h.pathOf(duplicate);
}

} // namespace zantrel
