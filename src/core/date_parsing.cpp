#include "core/date_parsing.h"

#include "core/calendar.h"
#include "core/date_pattern.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace zantrel {

namespace {

enum class DateField { Month, Day, Year };

struct DateOrder {
    DateField first, second, third;
};

// The order of the date's numbers: that of the first m, d and y of the short date format; when
// one of them is missing, the first letter found decides (y: year-month-day, d: day-month-year,
// otherwise month-day-year).
DateOrder OrderFromFormat(const QByteArray& format) {
    qsizetype m = -1, d = -1, y = -1;
    for (qsizetype i = 0; i < format.size(); ++i) {
        qsizetype* first = nullptr;
        switch (Lower(format[i])) {
        case 'm':
            first = &m;
            break;
        case 'd':
            first = &d;
            break;
        case 'y':
            first = &y;
            break;
        default:
            break;
        }
        if (first && *first < 0) *first = i;
    }
    if (m >= 0 && d >= 0 && y >= 0) {
        std::pair<qsizetype, DateField> f[3] = {
            {m, DateField::Month}, {d, DateField::Day}, {y, DateField::Year}};
        std::sort(std::begin(f), std::end(f));
        return {f[0].second, f[1].second, f[2].second};
    }
    const qsizetype none = format.size();
    const qsizetype first = std::min({m < 0 ? none : m, d < 0 ? none : d, y < 0 ? none : y});
    if (first == y) return {DateField::Year, DateField::Month, DateField::Day};
    if (first == d) return {DateField::Day, DateField::Month, DateField::Year};
    return {DateField::Month, DateField::Day, DateField::Year};
}

class Scanner {
  public:
    explicit Scanner(const QByteArray& text) : p_(text.constData()), end_(p_ + text.size()) {}

    void skipBlanks() {
        while (p_ < end_ && *p_ == ' ')
            ++p_;
    }
    bool atEnd() const { return p_ == end_; }
    bool atDigit() const { return p_ < end_ && *p_ >= '0' && *p_ <= '9'; }

    // Up to four digits after optional blanks; more digits are an error, never an overflow.
    bool number(int& value, int& digits) {
        skipBlanks();
        value = 0;
        digits = 0;
        while (atDigit()) {
            if (digits == 4) return false;
            value = value * 10 + (*p_++ - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool number(int& value) {
        int digits;
        return number(value, digits);
    }
    // The character c after optional blanks.
    bool take(char c) {
        skipBlanks();
        if (p_ < end_ && *p_ == c) {
            ++p_;
            return true;
        }
        return false;
    }
    // "AM" or "PM" in any case after optional blanks: 'A', 'P' or 0.
    char marker() {
        skipBlanks();
        if (end_ - p_ < 2 || Lower(p_[1]) != 'm') return 0;
        const char c = Lower(p_[0]);
        if (c != 'a' && c != 'p') return 0;
        p_ += 2;
        return c == 'a' ? 'A' : 'P';
    }

  private:
    const char* p_;
    const char* end_;
};

} // namespace

std::optional<double> ParseDateTime(const QByteArray& text, const QByteArray& shortDateFormat,
                                    int currentYear, char dateSeparator, char timeSeparator) {
    const DateOrder order = OrderFromFormat(shortDateFormat);
    Scanner s(text);
    int year = 0, month = 0, day = 0;
    for (DateField field : {order.first, order.second, order.third}) {
        if (field != order.first && !s.take(dateSeparator)) return std::nullopt;
        int value, digits;
        if (!s.number(value, digits)) return std::nullopt;
        switch (field) {
        case DateField::Month:
            month = value;
            break;
        case DateField::Day:
            day = value;
            break;
        case DateField::Year:
            year = digits <= 2 ? TwoDigitYear(value, currentYear) : value;
            break;
        }
    }
    const auto date = EncodeDate(year, month, day);
    if (!date) return std::nullopt;

    // The comma formats put ", " between the date and the time.
    s.take(',');
    s.skipBlanks();
    if (s.atEnd()) return date;

    char marker = s.marker(); // some locales write it before the time
    s.skipBlanks();
    if (!s.atDigit()) return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    if (!s.number(hour) || !s.take(timeSeparator) || !s.number(minute)) return std::nullopt;
    if (s.take(timeSeparator) && !s.number(second)) return std::nullopt;
    if (marker == 0) marker = s.marker();
    if (marker != 0) {
        if (hour == 0 || hour > 12) return std::nullopt;
        hour %= 12;
        if (marker == 'P') hour += 12;
    }
    const auto time = EncodeTime(hour, minute, second);
    if (!time) return std::nullopt;
    return *date + *time;
}

} // namespace zantrel
