#pragma once

#include "chart/chart_statistics.h"

#include <QByteArray>

namespace zantrel {

// The band, the delay and the activation energy that the statistics window starts with
// when STATS.DAT does not say otherwise: a cold store's 2 to 8 degrees Celsius, no delay.
StatisticsOptions DefaultStatisticsSettings();

// The longest delay of an excursion the settings take: a week, in minutes.
inline constexpr int kMaxDelayMinutes = 7 * 24 * 60;

// STATS.DAT: one line per setting, each ending in CR LF, the limits in Celsius and empty
// when that side is open:
//   ~Low Limit C: 2
//   ~High Limit C: 8
//   ~Activation Energy kJ/mol: 83.144
//   ~Excursion Delay min: 30
QByteArray ComposeStatisticsSettings(const StatisticsOptions& options);
// The settings of such a text; a line that is missing or does not read as a sound value
// leaves that setting at its default.
StatisticsOptions ParseStatisticsSettings(const QByteArray& text);

// The settings in the file at path, or the defaults when it cannot be read.
StatisticsOptions LoadStatisticsSettings(const QByteArray& path);
// Writes the settings as the other settings files are written; false when that failed.
bool SaveStatisticsSettings(const StatisticsOptions& options, const QByteArray& path);

// A number as the settings file and the edits show it: its shortest form.
QByteArray SettingNumber(double value);

} // namespace zantrel
