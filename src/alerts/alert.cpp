#include "alerts/alert.h"

#include "core/calendar.h"

#include <QJsonValue>
#include <cmath>

namespace zantrel {

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-ddTHH:mm:ss";

QJsonValue OptionalTime(const std::optional<double>& t) {
    return t ? QJsonValue(AlertTime(*t)) : QJsonValue(QJsonValue::Null);
}

QJsonValue OptionalNumber(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

std::optional<double> NumberOf(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    return value.toDouble();
}

QByteArray Latin1Of(const QJsonValue& value) {
    return value.toString().toLatin1();
}

} // namespace

QString AlertTime(double t) {
    return DayCountToQDateTimeUtc(RoundToSecond(t)).toString(kTimeFormat);
}

std::optional<double> AlertTimeValue(const QString& text) {
    QDateTime dt = QDateTime::fromString(text, kTimeFormat);
    if (!dt.isValid()) return std::nullopt;
    return DayCountFromQDateTime(dt);
}

QJsonObject Alert::toJson() const {
    QJsonObject limits;
    limits["low"] = OptionalNumber(low);
    limits["high"] = OptionalNumber(high);
    QJsonObject o;
    o["id"] = QString::fromLatin1(id);
    o["kind"] = QString::fromLatin1(kind);
    o["unit"] = QString::fromLatin1(unit);
    o["location"] = QString::fromLatin1(location);
    o["channel"] = channel ? QJsonValue(channel) : QJsonValue(QJsonValue::Null);
    o["start"] = AlertTime(start);
    o["end"] = OptionalTime(end);
    o["peak"] = OptionalNumber(peak);
    // To the hundredth, as the text gives it.
    o["hours"] = std::round(hours * 100) / 100;
    o["limits"] = limits;
    o["text"] = QString::fromLatin1(text);
    o["raised"] = AlertTime(raised);
    return o;
}

std::optional<Alert> Alert::fromJson(const QJsonObject& o) {
    Alert a;
    a.id = Latin1Of(o["id"]);
    a.kind = Latin1Of(o["kind"]);
    if (a.id.isEmpty() || a.kind.isEmpty()) return std::nullopt;
    a.unit = Latin1Of(o["unit"]);
    a.location = Latin1Of(o["location"]);
    a.channel = o["channel"].toInt();
    a.start = AlertTimeValue(o["start"].toString()).value_or(0);
    a.end = AlertTimeValue(o["end"].toString());
    a.peak = NumberOf(o["peak"]);
    a.hours = o["hours"].toDouble();
    const QJsonObject limits = o["limits"].toObject();
    a.low = NumberOf(limits["low"]);
    a.high = NumberOf(limits["high"]);
    a.text = Latin1Of(o["text"]);
    a.raised = AlertTimeValue(o["raised"].toString()).value_or(0);
    return a;
}

} // namespace zantrel
