#include "core/date_time.h"

#include "core/format_settings.h"

#include <algorithm>
#include <cmath>

namespace zantrel {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day count of 1 January 1970, the origin of the civil-day arithmetic below.
constexpr int64_t kUnixEpochDay = 25569;
constexpr int64_t kFirstValidDay = -693593; // 1 January 0001
constexpr int64_t kLastValidDay = 2958465;  // 31 December 9999

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's civil-day algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilDate {
    int64_t year;
    int month;
    int day;
};

CivilDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int MonthLength(int64_t y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : kDays[m - 1];
}

constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr int kLongestName = 9;

// --- Pattern tokens shared by the renderer and the chart label translation ---

enum class Tok { Literal, DateSep, TimeSep, Year, Month, Day, Hour, Minute, Second, Milli, Marker };

struct Token {
    Tok tok;
    int count;       // letters in the run
    QByteArray text; // literal text, or the marker as written ("AM/PM", "a/p")
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool MatchesIgnoringCase(const QByteArray& s, qsizetype at, const char* word) {
    for (qsizetype k = 0; word[k] != '\0'; ++k) {
        if (at + k >= s.size() || Lower(s[at + k]) != word[k]) return false;
    }
    return true;
}

std::vector<Token> Tokenise(const QByteArray& pattern) {
    std::vector<Token> tokens;
    char lastLetter = 0; // the previous letter token, after the month/minute decision
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            qsizetype close = pattern.indexOf(c, i + 1);
            if (close < 0) close = n;
            tokens.push_back({Tok::Literal, 0, pattern.mid(i + 1, close - i - 1)});
            i = std::min(close + 1, n);
            continue;
        }
        if (c == '/' || c == ':') {
            tokens.push_back({c == '/' ? Tok::DateSep : Tok::TimeSep, 1, {}});
            ++i;
            continue;
        }
        if (!IsAsciiLetter(c)) {
            tokens.push_back({Tok::Literal, 0, QByteArray(1, c)});
            ++i;
            continue;
        }
        const char lc = Lower(c);
        if (lc == 'a') {
            const int len = MatchesIgnoringCase(pattern, i, "am/pm") ? 5
                            : MatchesIgnoringCase(pattern, i, "a/p") ? 3
                                                                     : 0;
            if (len > 0) {
                tokens.push_back({Tok::Marker, len, pattern.mid(i, len)});
                lastLetter = 'a';
                i += len;
                continue;
            }
        }
        int count = 1;
        while (i + count < n && Lower(pattern[i + count]) == lc)
            ++count;
        char resolved = lc;
        Tok tok = Tok::Literal;
        switch (lc) {
        case 'y':
            tok = Tok::Year;
            break;
        case 'm':
            if (lastLetter == 'h') {
                tok = Tok::Minute;
                resolved = 'n';
            } else {
                tok = Tok::Month;
            }
            break;
        case 'n':
            tok = Tok::Minute;
            break;
        case 'd':
            tok = Tok::Day;
            break;
        case 'h':
            tok = Tok::Hour;
            break;
        case 's':
            tok = Tok::Second;
            break;
        case 'z':
            tok = Tok::Milli;
            break;
        default:
            break;
        }
        tokens.push_back({tok, count, tok == Tok::Literal ? pattern.mid(i, count) : QByteArray()});
        lastLetter = resolved;
        i += count;
    }
    return tokens;
}

char* PutDigits(char* p, int value, int width) {
    // Two-digit fields are nearly all of a chart row's date: write them directly.
    if (width == 2 && value < 100) {
        p[0] = static_cast<char>('0' + value / 10);
        p[1] = static_cast<char>('0' + value % 10);
        return p + 2;
    }
    char digits[12];
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int k = len; k < width; ++k)
        *p++ = '0';
    while (len > 0)
        *p++ = digits[--len];
    return p;
}

char* PutText(char* p, const char* s, int len) {
    std::copy(s, s + len, p);
    return p + len;
}

char* PutName(char* p, const char* name, bool longForm) {
    const int len = static_cast<int>(std::char_traits<char>::length(name));
    return PutText(p, name, longForm ? len : std::min(len, 3));
}

// --- Parsing ---

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

// --- DateFormatter ---

DateFormatter::DateFormatter(const QByteArray& pattern, char dateSeparator, char timeSeparator) {
    for (const Token& t : Tokenise(pattern)) {
        switch (t.tok) {
        case Tok::Literal:
            addLiteral(t.text.constData(), static_cast<int>(t.text.size()));
            break;
        case Tok::DateSep:
            addLiteral(&dateSeparator, 1);
            break;
        case Tok::TimeSep:
            addLiteral(&timeSeparator, 1);
            break;
        case Tok::Year:
            ops_.push_back({t.count <= 2 ? Kind::Year2 : Kind::Year4, 0, 0, 0});
            break;
        case Tok::Month:
            if (t.count >= 3)
                ops_.push_back({Kind::MonthName, static_cast<uint8_t>(std::min(t.count, 4)), 0, 0});
            else
                ops_.push_back({Kind::Month, static_cast<uint8_t>(t.count), 0, 0});
            break;
        case Tok::Day:
            if (t.count >= 3)
                ops_.push_back({Kind::DayName, static_cast<uint8_t>(std::min(t.count, 4)), 0, 0});
            else
                ops_.push_back({Kind::Day, static_cast<uint8_t>(t.count), 0, 0});
            break;
        case Tok::Hour:
            ops_.push_back({Kind::Hour, t.count == 1 ? uint8_t(1) : uint8_t(2), 0, 0});
            break;
        case Tok::Minute:
            ops_.push_back({Kind::Minute, t.count == 1 ? uint8_t(1) : uint8_t(2), 0, 0});
            break;
        case Tok::Second:
            ops_.push_back({Kind::Second, t.count == 1 ? uint8_t(1) : uint8_t(2), 0, 0});
            break;
        case Tok::Milli:
            ops_.push_back({Kind::Millisecond, t.count <= 2 ? uint8_t(1) : uint8_t(3), 0, 0});
            break;
        case Tok::Marker:
            twelveHour_ = true;
            ops_.push_back(
                {Kind::Marker, 0, static_cast<int>(t.text.size()), static_cast<int>(text_.size())});
            text_.append(t.text);
            break;
        }
    }
    for (const Op& op : ops_)
        maxLength_ +=
            op.kind == Kind::Literal || op.kind == Kind::Marker ? op.textLen : kLongestName;
}

void DateFormatter::addLiteral(const char* s, int len) {
    if (len <= 0) return;
    // Adjacent literal text is copied in one go.
    if (!ops_.empty() && ops_.back().kind == Kind::Literal &&
        ops_.back().textPos + ops_.back().textLen == text_.size())
        ops_.back().textLen += len;
    else
        ops_.push_back({Kind::Literal, 0, len, static_cast<int>(text_.size())});
    text_.append(s, len);
}

char* DateFormatter::write(char* p, double t) const {
    const auto f = DecodeDateTime(t);
    if (!f) return nullptr;
    const char* text = text_.constData();
    for (const Op& op : ops_) {
        switch (op.kind) {
        case Kind::Literal:
            p = PutText(p, text + op.textPos, op.textLen);
            break;
        case Kind::Year2:
            p = PutDigits(p, f->year % 100, 2);
            break;
        case Kind::Year4:
            p = PutDigits(p, f->year, 4);
            break;
        case Kind::Month:
            p = PutDigits(p, f->month, op.width);
            break;
        case Kind::MonthName:
            p = PutName(p, kMonthNames[f->month - 1], op.width == 4);
            break;
        case Kind::Day:
            p = PutDigits(p, f->day, op.width);
            break;
        case Kind::DayName: {
            // 1 January 1970 was a Thursday.
            const int64_t days = DaysFromCivil(f->year, f->month, f->day) + 4;
            p = PutName(p, kDayNames[days - FloorDiv(days, 7) * 7], op.width == 4);
            break;
        }
        case Kind::Hour: {
            int hour = f->hour;
            if (twelveHour_) hour = hour % 12 == 0 ? 12 : hour % 12;
            p = PutDigits(p, hour, op.width);
            break;
        }
        case Kind::Minute:
            p = PutDigits(p, f->minute, op.width);
            break;
        case Kind::Second:
            p = PutDigits(p, f->second, op.width);
            break;
        case Kind::Millisecond:
            p = PutDigits(p, f->millisecond, op.width);
            break;
        case Kind::Marker: {
            const int half = op.textLen / 2;
            p = PutText(p, text + op.textPos + (f->hour >= 12 ? half + 1 : 0), half);
            break;
        }
        }
    }
    return p;
}

bool DateFormatter::append(QByteArray& out, double t) const {
    char small[128];
    if (maxLength_ <= static_cast<int>(sizeof small)) {
        const char* end = write(small, t);
        if (end) out.append(small, end - small);
        return end != nullptr;
    }
    const qsizetype start = out.size();
    out.resize(start + maxLength_);
    const char* end = write(out.data() + start, t);
    out.truncate(end ? end - out.constData() : start);
    return end != nullptr;
}

QByteArray DateFormatter::format(double t) const {
    QByteArray out;
    append(out, t);
    return out;
}

QByteArray FormatDateTime(const QByteArray& pattern, double t, char dateSeparator,
                          char timeSeparator) {
    return DateFormatter(pattern, dateSeparator, timeSeparator).format(t);
}

QByteArray FormatDateTimeDefault(double t, const FormatSettings& settings) {
    const auto f = DecodeDateTime(t);
    if (!f) return {};
    QByteArray pattern = settings.shortDateFormat;
    if (f->hour != 0 || f->minute != 0 || f->second != 0 || f->millisecond != 0)
        pattern += ' ' + settings.longTimeFormat;
    return FormatDateTime(pattern, t, settings.dateSeparator, settings.timeSeparator);
}

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

QString ToChartLabelFormat(const QByteArray& pattern) {
    const std::vector<Token> tokens = Tokenise(pattern);
    auto classOf = [](Tok tok) {
        switch (tok) {
        case Tok::Year:
        case Tok::Month:
        case Tok::Day:
            return 1;
        case Tok::Hour:
        case Tok::Minute:
        case Tok::Second:
        case Tok::Milli:
        case Tok::Marker:
            return 2;
        default:
            return 0;
        }
    };
    // The literal run between the last field of the first kind (date or time) and the first
    // field of the other kind becomes the line break.
    size_t breakFrom = tokens.size(), breakTo = tokens.size();
    int firstClass = 0;
    size_t lastField = 0;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const int c = classOf(tokens[k].tok);
        if (c == 0) continue;
        if (firstClass == 0) {
            firstClass = c;
        } else if (c != firstClass) {
            breakFrom = lastField + 1;
            breakTo = k;
            break;
        }
        lastField = k;
    }

    static constexpr const char* kMonth[] = {"M", "MM", "MMM", "MMMM"};
    static constexpr const char* kDay[] = {"d", "dd", "ddd", "dddd"};
    QString out;
    QByteArray literal; // adjacent literal text, quoted as one piece when it holds letters
    auto flushLiteral = [&] {
        const bool needsQuotes = std::any_of(literal.begin(), literal.end(),
                                             [](char c) { return IsAsciiLetter(c) || c == '\''; });
        QString text = QString::fromLatin1(literal);
        if (needsQuotes)
            text = QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) +
                   QLatin1Char('\'');
        out += text;
        literal.clear();
    };
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (k >= breakFrom && k < breakTo) continue;
        const Token& t = tokens[k];
        if (t.tok == Tok::Literal) {
            literal += t.text;
            continue;
        }
        flushLiteral();
        if (k == breakTo) out += QLatin1Char('\n');
        const int n = std::min(t.count, 4);
        switch (t.tok) {
        case Tok::Literal:
            break;
        case Tok::DateSep:
            out += QLatin1Char('/');
            break;
        case Tok::TimeSep:
            out += QLatin1Char(':');
            break;
        case Tok::Year:
            out += QLatin1String(t.count <= 2 ? "yy" : "yyyy");
            break;
        case Tok::Month:
            out += QLatin1String(kMonth[n - 1]);
            break;
        case Tok::Day:
            out += QLatin1String(kDay[n - 1]);
            break;
        case Tok::Hour:
            out += QLatin1String(t.count == 1 ? "h" : "hh");
            break;
        case Tok::Minute:
            out += QLatin1String(t.count == 1 ? "m" : "mm");
            break;
        case Tok::Second:
            out += QLatin1String(t.count == 1 ? "s" : "ss");
            break;
        case Tok::Milli:
            out += QLatin1String(t.count <= 2 ? "z" : "zzz");
            break;
        case Tok::Marker:
            out += QLatin1String(t.text[0] == 'a' ? "ap" : "AP");
            break;
        }
    }
    flushLiteral();
    return out;
}

} // namespace zantrel
