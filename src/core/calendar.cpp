#include "core/calendar.h"

#include "core/civil_days.h"

#include <cmath>
#include <cstdint>

namespace zantrel {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day count of 1 January 1970, the origin of the civil-day arithmetic.
constexpr int64_t kUnixEpochDay = 25569;
constexpr int64_t kFirstValidDay = -693593; // 1 January 0001
constexpr int64_t kLastValidDay = 2958465;  // 31 December 9999

} // namespace

std::optional<double> EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > MonthLength(year, month))
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
}

std::optional<double> EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return std::nullopt;
    const int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

std::optional<double> EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                     int millisecond) {
    const auto date = EncodeDate(year, month, day);
    const auto time = EncodeTime(hour, minute, second, millisecond);
    if (!date || !time) return std::nullopt;
    return *date + *time;
}

std::optional<DateTimeFields> DecodeDateTime(double t) {
    // The range check comes before the conversion so that llround never sees a huge value.
    if (!std::isfinite(t) || t < kFirstValidDay - 1 || t > kLastValidDay + 1) return std::nullopt;
    const int64_t ms = std::llround(t * static_cast<double>(kMsPerDay));
    const int64_t day = FloorDiv(ms, kMsPerDay);
    if (day < kFirstValidDay || day > kLastValidDay) return std::nullopt;
    const auto msOfDay = static_cast<int>(ms - day * kMsPerDay);
    const CivilDate date = CivilFromDays(day - kUnixEpochDay);
    DateTimeFields f;
    f.year = static_cast<int>(date.year);
    f.month = date.month;
    f.day = date.day;
    f.hour = msOfDay / 3600000;
    f.minute = msOfDay / 60000 % 60;
    f.second = msOfDay / 1000 % 60;
    f.millisecond = msOfDay % 1000;
    return f;
}

double RoundToSecond(double t) {
    return std::floor(kSecondsPerDay * t + 0.5) / kSecondsPerDay;
}

double AddMonths(double t, int months) {
    if (!std::isfinite(t) || t < kFirstValidDay || t >= kLastValidDay + 1) return t;
    const double day = std::floor(t);
    const double timeOfDay = t - day;
    const CivilDate date = CivilFromDays(static_cast<int64_t>(day) - kUnixEpochDay);
    const int64_t monthIndex = date.year * 12 + (date.month - 1) + months;
    const int64_t year = FloorDiv(monthIndex, 12);
    const int month = static_cast<int>(monthIndex - year * 12) + 1;
    const int dayOfMonth = std::min(date.day, MonthLength(year, month));
    return static_cast<double>(DaysFromCivil(year, month, dayOfMonth) + kUnixEpochDay) + timeOfDay;
}

int TwoDigitYear(int twoDigits, int currentYear) {
    const int start = currentYear - 50;
    int year = static_cast<int>(FloorDiv(start, 100) * 100) + twoDigits;
    if (year < start) year += 100;
    return year;
}

double DayCountFromQDateTime(const QDateTime& dt) {
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(dt.date()));
    return days + dt.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
}

QDateTime DayCountToQDateTimeUtc(double t) {
    if (!std::isfinite(t) || t < kFirstValidDay || t > kLastValidDay + 1) return {};
    const int64_t ms = std::llround(t * static_cast<double>(kMsPerDay)) - kUnixEpochDay * kMsPerDay;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

double DayCountFromQDateTimeUtc(const QDateTime& utc) {
    const int64_t ms = utc.toMSecsSinceEpoch() + kUnixEpochDay * kMsPerDay;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

} // namespace zantrel
