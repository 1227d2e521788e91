#pragma once

#include "chart/chart_statistics.h"
#include "core/observable.h"

#include <QByteArray>

namespace zantrel {

// The statistics' band, delay and activation energy as the settings file keeps them, one copy
// for the whole program: the statistics window edits it, the chart draws its band and the
// report starts from it. Until a file is read it holds the defaults.
class StoredStatisticsSettings : public Observable {
  public:
    StoredStatisticsSettings();

    // Reads the settings file at path (the defaults when it cannot be read) and keeps path
    // for writing.
    void load(const QByteArray& path);
    // Takes the settings and writes them to the file; false when that failed (they are
    // taken all the same).
    bool set(const StatisticsOptions& options);

    const StatisticsOptions& options() const { return options_; }
    const QByteArray& path() const { return path_; }

  private:
    QByteArray path_;
    StatisticsOptions options_;
};

} // namespace zantrel
