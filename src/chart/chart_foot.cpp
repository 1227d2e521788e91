#include "chart/chart_foot.h"

#include <charconv>
#include <cmath>

namespace zantrel {

QByteArray ShortestDecimal(float value) {
    char buffer[64];
    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-5f && magnitude < 1e15f);
    const auto result =
        plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, result.ptr - buffer);
}

std::optional<QList<QByteArray>> ChartFootLines(const FootFacts& facts) {
    bool ok = false;
    const double perHour = facts.samplesPerHour.toDouble(&ok);
    if (!ok || !std::isfinite(perHour)) return std::nullopt;
    const float rate = perHour == 0 ? 0.0f : static_cast<float>(3600 / perHour);

    QByteArray first = "Units=" + QByteArray(facts.fahrenheit ? "F" : "C") +
                       "  Storage Rate=" + ShortestDecimal(rate) +
                       "sec   Recorded Temp=" + facts.storageText;
    if (facts.humidity) {
        first += "  Recorded RH=";
        if (facts.iirHumidity) {
            const double percent = std::floor(facts.humidityIirPercent * 100.0 + 0.5) / 100.0;
            first += ShortestDecimal(static_cast<float>(percent)) + "% last output";
        } else {
            first += "average";
        }
    }

    QByteArray user;
    if (!facts.userName.isEmpty()) user = "User=" + facts.userName;
    if (!facts.userLocation.isEmpty()) user += "  Location=" + facts.userLocation;
    if (!facts.unitId.isEmpty()) user += "  ZL ID=" + facts.unitId;

    QList<QByteArray> lines{first};
    if (!user.isEmpty()) lines.append(user);
    if (!facts.incomplete.isEmpty()) lines.append(facts.incomplete);
    lines.append(QByteArray());
    return lines;
}

} // namespace zantrel
