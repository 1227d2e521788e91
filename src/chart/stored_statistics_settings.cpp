#include "chart/stored_statistics_settings.h"

#include "chart/statistics_settings.h"

namespace zantrel {

StoredStatisticsSettings::StoredStatisticsSettings() : options_(DefaultStatisticsSettings()) {}

void StoredStatisticsSettings::load(const QByteArray& path) {
    path_ = path;
    options_ = LoadStatisticsSettings(path);
    notify();
}

bool StoredStatisticsSettings::set(const StatisticsOptions& options) {
    options_ = options;
    const bool written = SaveStatisticsSettings(options_, path_);
    notify();
    return written;
}

} // namespace zantrel
