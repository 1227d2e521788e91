#include "chart/statistics_settings.h"

#include "core/settings_files.h"
#include "core/text_slot.h"

#include <QList>
#include <QLocale>
#include <cmath>

namespace zantrel {

namespace {

constexpr const char* kLowKey = "~Low Limit C:";
constexpr const char* kHighKey = "~High Limit C:";
constexpr const char* kEnergyKey = "~Activation Energy kJ/mol:";
constexpr const char* kDelayKey = "~Excursion Delay min:";

std::optional<double> Number(const QByteArray& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The text after key on the line that starts with it, when there is one.
std::optional<QByteArray> Field(const QList<QByteArray>& lines, const char* key) {
    for (const QByteArray& line : lines)
        if (line.startsWith(key)) return line.mid(qstrlen(key)).trimmed();
    return std::nullopt;
}

QByteArray Optional(const std::optional<double>& value) {
    return value ? SettingNumber(*value) : QByteArray();
}

} // namespace

StatisticsOptions DefaultStatisticsSettings() {
    StatisticsOptions options;
    options.low = 2.0;
    options.high = 8.0;
    return options;
}

QByteArray SettingNumber(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray ComposeStatisticsSettings(const StatisticsOptions& options) {
    return QByteArray(kLowKey) + ' ' + Optional(options.low) + "\r\n" + kHighKey + ' ' +
           Optional(options.high) + "\r\n" + kEnergyKey + ' ' +
           SettingNumber(options.activationEnergy) + "\r\n" + kDelayKey + ' ' +
           SettingNumber(options.delayMinutes) + "\r\n";
}

StatisticsOptions ParseStatisticsSettings(const QByteArray& text) {
    StatisticsOptions options = DefaultStatisticsSettings();
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    for (auto [key, limit] : {std::pair{kLowKey, &options.low}, {kHighKey, &options.high}}) {
        const auto field = Field(lines, key);
        if (!field) continue;
        if (field->isEmpty())
            limit->reset();
        else if (const auto value = Number(*field))
            *limit = value;
    }
    if (options.low && options.high && *options.low > *options.high) {
        const StatisticsOptions defaults = DefaultStatisticsSettings();
        options.low = defaults.low;
        options.high = defaults.high;
    }
    if (const auto field = Field(lines, kEnergyKey))
        if (const auto value = Number(*field); value && *value > 0)
            options.activationEnergy = *value;
    if (const auto field = Field(lines, kDelayKey))
        if (const auto value = Number(*field); value && *value >= 0 && *value <= kMaxDelayMinutes)
            options.delayMinutes = *value;
    return options;
}

StatisticsOptions LoadStatisticsSettings(const QByteArray& path) {
    TextSlot text;
    if (!SettingsFileExists(path) || !LoadSlotFromFile(text, path))
        return DefaultStatisticsSettings();
    return ParseStatisticsSettings(text.text());
}

bool SaveStatisticsSettings(const StatisticsOptions& options, const QByteArray& path) {
    const TextSlot text(ComposeStatisticsSettings(options));
    return SaveSlotToFile(text, path);
}

} // namespace zantrel
