#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zantrel {

struct FormatSettings;

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

// Renders date-times with a pattern, tokenised once so that a million rows cost little.
// Tokens (letters in any case):
//   yyyy four-digit year, yy (or y) two-digit year;
//   m, mm month; mmm, mmmm English month name; d, dd day; ddd, dddd English day name;
//   h, hh hour; n, nn minute; s, ss second; z, zzz millisecond;
//   m and mm are minutes when the letter token before them was an hour token (separators such
//   as ':' in between do not count), so "hh:mm" is hours and minutes;
//   AM/PM (or A/P) turns every hour into a 12-hour clock (12, 01..11) and is replaced by its
//   own first or second half, keeping the case of the pattern ("am/pm" gives "am" or "pm");
//   '/' is the date separator, ':' the time separator;
//   text in single or double quotes is copied without the quotes; anything else is copied.
class DateFormatter {
  public:
    explicit DateFormatter(const QByteArray& pattern, char dateSeparator = '/',
                           char timeSeparator = ':');

    // Appends the rendering of t. Returns false, appending nothing, when t is not a valid date.
    bool append(QByteArray& out, double t) const;
    QByteArray format(double t) const;
    // Writes the rendering of t to dst, which has room for maxLength() bytes, and returns the
    // end of what was written, or nullptr when t is not a valid date.
    char* write(char* dst, double t) const;
    int maxLength() const { return maxLength_; }

  private:
    enum class Kind : uint8_t {
        Literal,
        Year2,
        Year4,
        Month,
        MonthName,
        Day,
        DayName,
        Hour,
        Minute,
        Second,
        Millisecond,
        Marker,
    };
    struct Op {
        Kind kind;
        uint8_t width; // digits (1 = no padding); 3 or 4 for a short or long name
        int textLen;   // length of the literal or marker text, 0 for fields
        int textPos;   // where that text starts in text_
    };
    void addLiteral(const char* s, int len);

    std::vector<Op> ops_;
    QByteArray text_;
    int maxLength_ = 0;
    bool twelveHour_ = false;
};

QByteArray FormatDateTime(const QByteArray& pattern, double t, char dateSeparator = '/',
                          char timeSeparator = ':');

// The toolkit's default date-time form: short date format, a blank, long time format, with the
// settings' separators; the time is left out at exactly midnight.
QByteArray FormatDateTimeDefault(double t, const FormatSettings& settings);

// Reads a date, then optionally a time. The date's three numbers come in the order in which
// m, d and y first appear in shortDateFormat and are separated by dateSeparator; a year of one
// or two digits goes through TwoDigitYear. Then blanks (and a comma, as the comma formats put
// one there) and hh:mm[:ss] separated by timeSeparator, with AM or PM optionally after (or, as
// some locales write it, before) the time: hour 12 counts as 0, PM adds 12, and with a marker an
// hour of 0 or above 12 is an error. Text after the time is ignored. Blanks are allowed around
// numbers and separators. Empty for anything invalid.
std::optional<double> ParseDateTime(const QByteArray& text, const QByteArray& shortDateFormat,
                                    int currentYear, char dateSeparator = '/',
                                    char timeSeparator = ':');

// The same pattern as a QDateTime::toString format, the date and the time on separate lines,
// AM/PM as "AP": "mm/dd/yyyy hh:mm:ss AM/PM" gives "MM/dd/yyyy\nhh:mm:ss AP".
QString ToChartLabelFormat(const QByteArray& pattern);

} // namespace zantrel
