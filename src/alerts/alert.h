#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <optional>

namespace zantrel {

// The kinds of alert, as the alert's "kind" says them.
inline constexpr const char* kExcursionAlert = "excursion";
inline constexpr const char* kBackInsideAlert = "back inside";
inline constexpr const char* kTemperatureAlarmAlert = "temperature alarm";
inline constexpr const char* kHumidityAlarmAlert = "humidity alarm";
inline constexpr const char* kDownloadFailedAlert = "download failed";
inline constexpr const char* kOverdueAlert = "overdue";

// One alert: what happened to which logger, with its figures. Times are day counts, local
// time. The id names the event itself (an excursion by its channel and start, an alarm by
// its time), so that the same event is never raised twice.
struct Alert {
    QByteArray id;
    QByteArray kind;
    QByteArray unit;     // the logger's ZL ID
    QByteArray location; // the user location the logger was set up with
    int channel = 0;     // 0 when the alert is not about one channel
    double start = 0;
    std::optional<double> end;  // none while an excursion goes on
    std::optional<double> peak; // Celsius: an excursion's highest or lowest reading
    double hours = 0;           // an excursion's time outside the limits
    std::optional<double> low, high;
    QByteArray text;
    double raised = 0; // when the program raised it

    // The alert as one JSON object: kind, unit, location, channel, start, end, peak, hours
    // (to two decimals, as the text), limits ({"low": .., "high": ..}), text, and the id and raised
    // time.
    QJsonObject toJson() const;
    // The alert of such an object; none when it lacks an id or a kind.
    static std::optional<Alert> fromJson(const QJsonObject& object);
};

// A day count as "YYYY-MM-DDTHH:MM:SS", to the second; and back (none when it is not one).
QString AlertTime(double t);
std::optional<double> AlertTimeValue(const QString& text);

} // namespace zantrel
