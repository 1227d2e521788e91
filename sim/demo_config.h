#pragma once

#include "sim/logger_config.h"

namespace zantrel::sim {

// A version-2 logger worth looking at: channel 1 measures temperature and humidity, channel 2
// temperature only; both store `readings` readings every `periodSeconds`, the newest at or just
// before `lastReading`, with a few events and a gap on channel 1.
LoggerConfig demoLoggerConfig(const QDateTime& lastReading, int readings = 4000,
                              int periodSeconds = 300);

} // namespace zantrel::sim
