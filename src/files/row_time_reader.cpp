#include "files/row_time_reader.h"

#include "core/calendar.h"
#include "core/date_parsing.h"

namespace zantrel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of n digits at text[at], or -1 when one of them is not a digit.
int Digits(std::string_view text, std::size_t at, int n) {
    int value = 0;
    for (int k = 0; k < n; ++k) {
        const char c = text[at + k];
        if (!IsDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

} // namespace

RowTimeReader::RowTimeReader(const QByteArray& shortDateFormat, int currentYear)
    : shortDateFormat_(shortDateFormat), currentYear_(currentYear) {
    // Learn the order of the date's numbers from the reference reader itself, so the two can
    // never disagree about it.
    const auto parse = [&](const char* text) {
        return ParseDateTime(text, shortDateFormat_, currentYear_);
    };
    const double second = *EncodeDate(2003, 1, 2);
    if (parse("2003/01/02") == second)
        order_ = Order::YearMonthDay;
    else if (parse("01/02/2003") == second)
        order_ = Order::MonthDayYear;
    else if (parse("01/02/2003") == *EncodeDate(2003, 2, 1))
        order_ = Order::DayMonthYear;
}

std::optional<double> RowTimeReader::read(std::string_view text) {
    bool handled = false;
    const std::optional<double> fast = readFast(text, handled);
    if (handled) return fast;
    return ParseDateTime(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())),
                         shortDateFormat_, currentYear_);
}

std::optional<double> RowTimeReader::date(int year, int month, int day) {
    const int key = (year * 100 + month) * 100 + day;
    if (key != lastKey_) {
        lastKey_ = key;
        lastDate_ = EncodeDate(year, month, day);
    }
    return lastDate_;
}

// Sets handled only for text of the usual shape, where ParseDateTime would read the same
// fields; everything else is left to it.
std::optional<double> RowTimeReader::readFast(std::string_view text, bool& handled) {
    const std::size_t n = text.size();
    if (order_ == Order::Other || n < 19) return std::nullopt;
    int year, month, day;
    if (order_ == Order::YearMonthDay) {
        if (text[4] != '/' || text[7] != '/') return std::nullopt;
        year = Digits(text, 0, 4);
        month = Digits(text, 5, 2);
        day = Digits(text, 8, 2);
    } else {
        if (text[2] != '/' || text[5] != '/') return std::nullopt;
        const int first = Digits(text, 0, 2);
        const int second = Digits(text, 3, 2);
        year = Digits(text, 6, 4);
        month = order_ == Order::MonthDayYear ? first : second;
        day = order_ == Order::MonthDayYear ? second : first;
    }
    if (year < 0 || month < 0 || day < 0 || IsDigit(text[10])) return std::nullopt;

    // Blanks, an optional comma, blanks, then hh:mm:ss not followed by a further digit.
    std::size_t p = 10;
    while (p < n && text[p] == ' ')
        ++p;
    if (p < n && text[p] == ',') ++p;
    while (p < n && text[p] == ' ')
        ++p;
    if (p + 8 > n || text[p + 2] != ':' || text[p + 5] != ':') return std::nullopt;
    int hour = Digits(text, p, 2);
    const int minute = Digits(text, p + 3, 2);
    const int second = Digits(text, p + 6, 2);
    p += 8;
    if (hour < 0 || minute < 0 || second < 0 || (p < n && IsDigit(text[p]))) return std::nullopt;

    handled = true;
    while (p < n && text[p] == ' ')
        ++p;
    if (p + 2 <= n && Lower(text[p + 1]) == 'm') {
        const char marker = Lower(text[p]);
        if (marker == 'a' || marker == 'p') {
            if (hour == 0 || hour > 12) return std::nullopt;
            hour = hour % 12 + (marker == 'p' ? 12 : 0);
        }
    }
    const std::optional<double> d = date(year, month, day);
    const std::optional<double> t = EncodeTime(hour, minute, second);
    if (!d || !t) return std::nullopt;
    return *d + *t;
}

} // namespace zantrel
