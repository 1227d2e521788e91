#include "archive/text_export.h"

#include <charconv>
#include <cstdio>

namespace zantrel {

void AppendFloat(QByteArray& out, float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end - text);
}

double ShortestDouble(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double shortest = value;
    std::from_chars(text, end, shortest);
    return shortest;
}

namespace {

// Days since 1970-01-01 as a civil date (the proleptic Gregorian calendar).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shifted = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

} // namespace

void AppendUtcIso(QByteArray& out, int64_t utcMs) {
    const int64_t days = FloorDiv(utcMs, 86400000);
    const int64_t msOfDay = utcMs - days * 86400000;
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    const int seconds = int(msOfDay / 1000);
    char text[40];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day,
                          seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (msOfDay % 1000 != 0)
        n += std::snprintf(text + n, sizeof text - n, ".%03d", int(msOfDay % 1000));
    out.append(text, n);
    out.append('Z');
}

} // namespace zantrel
