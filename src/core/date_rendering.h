#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace zantrel {

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

} // namespace zantrel
