#include "files/chart_rows.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace zantrel {

namespace {

constexpr const char* kDateTimeColumns =
    "~DateTime, Celsius, Kelvin, Fahrenheit, RH, New sensors, Temp alarm starts, "
    "RH alarm starts, Temp alarm ends, RH alarm ends, Test start, Test end\r\n";
constexpr const char* kDateAndTimeColumns =
    "~Date, Time, Celsius, Kelvin, Fahrenheit, RH, New sensors, Temp alarm starts, "
    "RH alarm starts, Temp alarm ends, RH alarm ends, Test start, Test end\r\n";

// Room for one number: a float's range needs at most 39 integer digits, a sign and ".00".
constexpr int kNumberRoom = 64;
constexpr int kCountRoom = 20; // the digits of a 64-bit count

char* Put(char* p, const char* text, std::size_t length) {
    std::memcpy(p, text, length);
    return p + length;
}

char* PutSeparator(char* p) {
    p[0] = ',';
    p[1] = ' ';
    return p + 2;
}

// printf "%.02f": correctly rounded, always with ".".
char* PutFixed2(char* p, double value) {
    return std::to_chars(p, p + kNumberRoom, value, std::chars_format::fixed, 2).ptr;
}

// "%d" of the value truncated toward zero, for any magnitude.
char* PutTruncated(char* p, float value) {
    const double whole = std::trunc(static_cast<double>(value)) + 0.0; // -0 becomes 0
    return std::to_chars(p, p + kNumberRoom, whole, std::chars_format::fixed, 0).ptr;
}

} // namespace

QByteArray FileDateFormat(const QByteArray& dateFormat) {
    QByteArray format = dateFormat;
    format.replace('\r', QByteArray()).replace('\n', QByteArray());
    return format;
}

QByteArray DateFormatAndCreationLines(const QByteArray& dateFormat, double createdOn) {
    const QByteArray format = FileDateFormat(dateFormat);
    return "~Date Format: " + format +
           "\r\n~File Created On: " + DateFormatter(format).format(createdOn) + "\r\n";
}

QByteArray ColumnHeaderLines(const QByteArray& dateFormat) {
    return QByteArray("~\r\n") +
           (dateFormat.contains(',') ? kDateAndTimeColumns : kDateTimeColumns);
}

EventCursors::Counts EventCursors::take(double rowTime) {
    Counts counts{};
    for (int kind = 0; kind < EventKindCount; ++kind) {
        const std::vector<double>& events = store_.Events[kind];
        std::size_t& at = next_[kind];
        const std::size_t from = at;
        while (at < events.size() && events[at] <= rowTime)
            ++at;
        counts[kind] = at - from;
    }
    return counts;
}

ChartRowFormatter::ChartRowFormatter(const QByteArray& dateFormat, bool humidity)
    : date_(FileDateFormat(dateFormat)), humidity_(humidity),
      maxLength_(date_.maxLength() + 4 * (2 + kNumberRoom) + EventKindCount * (2 + kCountRoom) +
                 2) {}

char* ChartRowFormatter::writeReading(char* p, double time, float celsius,
                                      const float* humidity) const {
    if (char* end = date_.write(p, time)) p = end;
    const double c = celsius;
    const bool noReading = celsius == NoReading;
    p = PutFixed2(PutSeparator(p), c);
    p = PutFixed2(PutSeparator(p), noReading ? c : c + 273.15);
    p = PutFixed2(PutSeparator(p), noReading ? c : 1.8 * c + 32);
    p = PutSeparator(p);
    if (humidity_ && humidity) return PutTruncated(p, *humidity);
    *p = '0';
    return p + 1;
}

char* ChartRowFormatter::writeCounts(char* p, const EventCursors::Counts& counts) {
    for (const std::size_t n : counts) {
        char* digits = PutSeparator(p);
        p = std::to_chars(digits, digits + kCountRoom, n).ptr;
    }
    return p;
}

char* ChartRowFormatter::writeLineEnd(char* p) {
    return Put(p, "\r\n", 2);
}

} // namespace zantrel
