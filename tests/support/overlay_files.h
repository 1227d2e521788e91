#pragma once

#include "chart_file_harness.h"

#include <QList>

namespace zantrel {

// Chart files to overlay, saved by an engine of their own in a folder of their own.
struct OverlayFiles {
    ChartFileHarness source;

    // Saves readings every 15 seconds from 1 March 2010 00:00:00 (with humidity when rh is
    // given) as name.csv and its duplicate; returns the duplicate's path, or an empty one when
    // the save failed.
    QByteArray write(const QString& name, const QList<float>& celsius,
                     const QList<float>& rh = {}) {
        source.engine->ClearBuffer();
        ReadingsStore& store = source.store();
        for (int i = 0; i < celsius.size(); ++i) {
            store.ReadingTimes.push_back(Every15s(i));
            store.Temperatures.push_back(celsius[i]);
        }
        for (float value : rh)
            store.Humidities.push_back(value);
        source.s().RHZL.set(!rh.isEmpty());
        source.save(name + ".csv");
        if (source.s().Edit1.text() != kSaved) return {};
        return source.pathOf(name + ".zlx");
    }
};

} // namespace zantrel
