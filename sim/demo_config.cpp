#include "sim/demo_config.h"

#include <algorithm>

namespace zantrel::sim {

LoggerConfig demoLoggerConfig(const QDateTime& lastReading, int readings, int periodSeconds) {
    LoggerConfig config;
    readings = std::max(readings, 0);
    periodSeconds = std::max(periodSeconds, 1);
    // Readings fall on whole multiples of the period, as a logger started on the hour stores them.
    const QDateTime wall(lastReading.date(), lastReading.time(), Qt::UTC);
    const qint64 last = wall.toSecsSinceEpoch() / periodSeconds * periodSeconds;
    const QDateTime first = QDateTime::fromSecsSinceEpoch(
        last - qint64(std::max(readings - 1, 0)) * periodSeconds, Qt::UTC);
    for (ChannelConfig& c : config.channels) {
        c.readingCount = readings;
        c.storagePeriodSeconds = periodSeconds;
        c.firstReading = first;
    }
    ChannelConfig& one = config.channels[0];
    one.kind = ChannelKind::TemperatureRh;
    one.model = "ZL-200H";
    one.serial = "20417";
    one.seed = 7;
    if (readings > 40) {
        one.events = {{0, EventCode::NewSensor},
                      {readings / 4, EventCode::TestStart},
                      {readings / 4 + 6, EventCode::TestEnd},
                      {readings / 2, EventCode::TempAlarmStart},
                      {readings / 2 + 12, EventCode::TempAlarmEnd}};
        one.gaps = {readings / 3, readings / 3 + 1};
    }
    config.channels[1].kind = ChannelKind::Temperature;
    config.channels[1].serial = "20418";
    config.channels[1].seed = 11;
    return config;
}

} // namespace zantrel::sim
