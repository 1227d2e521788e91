#include "core/date_rendering.h"

#include "core/calendar.h"
#include "core/civil_days.h"
#include "core/date_pattern.h"

#include <algorithm>
#include <string>

namespace zantrel {

namespace {

constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr int kLongestName = 9;

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

} // namespace

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

} // namespace zantrel
