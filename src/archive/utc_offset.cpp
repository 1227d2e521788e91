#include "archive/utc_offset.h"

#include "core/calendar.h"
#include "core/civil_days.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zantrel {

namespace {
// The day count of 1 January 1970.
constexpr double kUnixEpochDay = 25569.0;
constexpr int64_t kSixHoursMs = 6 * 3600 * 1000;
} // namespace

UtcOffsetRule UtcOffsetRule::MachineZone() {
    return UtcOffsetRule(QTimeZone::systemTimeZone());
}

std::optional<UtcOffsetRule> UtcOffsetRule::Zone(const QByteArray& ianaId) {
    if (!QTimeZone::isTimeZoneIdAvailable(ianaId)) return std::nullopt;
    return UtcOffsetRule(QTimeZone(ianaId));
}

std::optional<UtcOffsetRule> UtcOffsetRule::Fixed(const QByteArray& text) {
    static const QRegularExpression pattern(QStringLiteral("^([+-])(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(text));
    if (!m.hasMatch()) return std::nullopt;
    const int hours = m.captured(2).toInt();
    const int minutes = m.captured(3).toInt();
    if (hours > 14 || minutes >= 60 || (hours == 14 && minutes > 0)) return std::nullopt;
    const int seconds = (hours * 60 + minutes) * 60;
    return UtcOffsetRule(m.captured(1) == QLatin1String("-") ? -seconds : seconds);
}

int UtcOffsetRule::secondsAt(double firstReading) const {
    if (fixed_) return *fixed_;
    // The clock's fields as if they were UTC; an offset fits them when the instant they
    // then name has that offset. The offsets in force six hours either side are the only
    // candidates: no zone changes twice within that.
    const int64_t naive = UtcEpochMs(firstReading, 0);
    const auto offsetAt = [this](int64_t ms) {
        return zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    };
    const int before = offsetAt(naive - kSixHoursMs);
    const int after = offsetAt(naive + kSixHoursMs);
    const auto fits = [&](int offset) { return offsetAt(naive - offset * 1000LL) == offset; };
    if (fits(before) && fits(after)) return std::max(before, after); // repeated: the earlier
    if (fits(before)) return before;
    return after; // fits, or the time was skipped: the offset after the change
}

QByteArray UtcOffsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    return QByteArray(seconds < 0 ? "-" : "+") +
           QByteArray::number(minutes / 60).rightJustified(2, '0') + ':' +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

int64_t UtcEpochMs(double loggerTime, int offsetSeconds) {
    return std::llround((loggerTime - kUnixEpochDay) * kSecondsPerDay * 1000.0) -
           int64_t(offsetSeconds) * 1000;
}

void AppendUtcIso(QByteArray& out, int64_t utcMs) {
    const int64_t days = FloorDiv(utcMs, 86400000);
    const int ms = int(utcMs - days * 86400000);
    const CivilDate date = CivilFromDays(days);
    if (date.year < 0 || date.year > 9999) {
        // Far outside any logger's dates: the slow general form.
        char text[64];
        const int n = std::snprintf(text, sizeof text, "%lld-%02d-%02dT%02d:%02d:%02d.%03dZ",
                                    static_cast<long long>(date.year), date.month, date.day,
                                    ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
        out.append(text, n);
        return;
    }
    // Written digit by digit: this runs for every reading archived or exported.
    char text[24] = "0000-00-00T00:00:00.000";
    const auto put = [&text](int at, int value, int digits) {
        for (int k = at + digits - 1; k >= at; --k, value /= 10)
            text[k] = char('0' + value % 10);
    };
    put(0, int(date.year), 4);
    put(5, date.month, 2);
    put(8, date.day, 2);
    put(11, ms / 3600000, 2);
    put(14, ms / 60000 % 60, 2);
    put(17, ms / 1000 % 60, 2);
    int n = 19;
    if (ms % 1000 != 0) {
        put(20, ms % 1000, 3);
        n = 23;
    }
    text[n++] = 'Z';
    out.append(text, n);
}

QByteArray UtcIsoText(int64_t utcMs) {
    QByteArray text;
    AppendUtcIso(text, utcMs);
    return text;
}

} // namespace zantrel
