#pragma once

#include <QDateTime>

#include <optional>

namespace zantrel {

// Date-times are day counts from 30 December 1899 in local time; the fraction is the time of
// day. Encoding fields is pure arithmetic, never a time zone conversion. Days before the epoch
// follow the same rule as days after it: the value is floor(t) days plus a time of day of
// t - floor(t), so -0.25 is 29 December 1899 18:00 and the scale stays monotonic.
// Valid dates are 1 January 0001 to 31 December 9999.

constexpr double kSecondsPerDay = 86400.0;
constexpr double kOneSecond = 1.0 / kSecondsPerDay;

struct DateTimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

std::optional<double> EncodeDate(int year, int month, int day);
std::optional<double> EncodeTime(int hour, int minute, int second, int millisecond = 0);
std::optional<double> EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                     int millisecond = 0);

// Rounds to the millisecond first, so 23:59:59.9995 is midnight of the next day in every field.
// Empty for NaN, infinities and values outside the valid dates.
std::optional<DateTimeFields> DecodeDateTime(double t);

// floor(86400 t + 0.5) / 86400: the nearest whole second, halves upwards.
double RoundToSecond(double t);

// Moves the date by whole calendar months (negative goes back) and keeps the time of day. A day
// that the target month lacks becomes its last day: 31 March minus one month is 28 or 29
// February. NaN, infinities and values outside the valid dates come back unchanged.
double AddMonths(double t, int months);

// The year ending in twoDigits (0..99) that lies in the 100 years starting 50 years before
// currentYear: in 2026, 09 is 2009, 75 is 2075 and 76 is 1976.
int TwoDigitYear(int twoDigits, int currentYear);

// The day count of the date and time fields of dt, whatever its time spec.
double DayCountFromQDateTime(const QDateTime& dt);

// The day count read as if it were UTC, so a chart axis never folds at a daylight-saving change.
QDateTime DayCountToQDateTimeUtc(double t);
double DayCountFromQDateTimeUtc(const QDateTime& utc);

} // namespace zantrel
