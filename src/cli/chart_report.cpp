#include "cli/chart_report.h"

#include "core/date_time.h"
#include "engine/engine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

namespace zantrel {

namespace {

constexpr const char* kEventNames[EventKindCount] = {
    "new_sensor",   "temp_alarm_start", "rh_alarm_start", "temp_alarm_end",
    "rh_alarm_end", "test_start",       "test_end"};

void PutNumber(std::string& s, float value) {
    char digits[32];
    s.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void PutDigits(std::string& s, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    s.append(digits, width);
}

// "YYYY-MM-DDTHH:MM:SS" as a JSON string, or bare when not quoted.
void PutTime(std::string& s, double t, bool quoted = true) {
    const auto f = DecodeDateTime(RoundToSecond(t));
    if (!f) {
        s += "null";
        return;
    }
    if (quoted) s += '"';
    PutDigits(s, f->year, 4);
    s += '-';
    PutDigits(s, f->month, 2);
    s += '-';
    PutDigits(s, f->day, 2);
    s += 'T';
    PutDigits(s, f->hour, 2);
    s += ':';
    PutDigits(s, f->minute, 2);
    s += ':';
    PutDigits(s, f->second, 2);
    if (quoted) s += '"';
}

// A Latin-1 text as a JSON string in UTF-8.
void PutString(std::string& s, const QByteArray& latin1) {
    s += '"';
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            s += escaped;
        } else if (byte < 0x80) {
            s += c;
        } else {
            s += static_cast<char>(0xC0 | (byte >> 6));
            s += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    s += '"';
}

void PutField(std::string& s, const char* name, const QByteArray& latin1) {
    s += '"';
    s += name;
    s += "\": ";
    PutString(s, latin1);
}

// Large sessions are written out in pieces rather than held as one text.
void FlushIfLarge(std::string& s, std::ostream& out) {
    if (s.size() < (1 << 16)) return;
    out.write(s.data(), static_cast<std::streamsize>(s.size()));
    s.clear();
}

} // namespace

void WriteChartJson(std::ostream& out, Engine& engine) {
    const State& st = engine.state();
    const ReadingsStore& store = engine.readings();
    std::string s = "{";
    PutField(s, "status", st.Edit1.text());
    s += ", ";
    PutField(s, "date_format", st.DATEFORMAT.text());
    s += ", ";
    PutField(s, "samples_per_hour", st.Samplesperhour.text());
    s += st.RHZL.checked() ? ", \"rh\": true" : ", \"rh\": false";
    s += st.FileEncryptFlag.checked() ? ", \"encrypted\": true" : ", \"encrypted\": false";
    s += ", \"user\": {";
    PutField(s, "name", st.UserName);
    s += ", ";
    PutField(s, "location", st.UserLocation);
    s += ", ";
    PutField(s, "id", st.UnitId);
    s += ", ";
    PutField(s, "software", st.SoftwareVersion);
    s += "}, \"readings\": [";
    const std::size_t rows = std::min(store.ReadingTimes.size(), store.Temperatures.size());
    for (std::size_t i = 0; i < rows; ++i) {
        s += i ? ",\n{\"time\": " : "\n{\"time\": ";
        PutTime(s, store.ReadingTimes[i]);
        s += ", \"celsius\": ";
        PutNumber(s, store.Temperatures[i]);
        s += ", \"rh\": ";
        if (i < store.Humidities.size())
            PutNumber(s, store.Humidities[i]);
        else
            s += "null";
        s += '}';
        FlushIfLarge(s, out);
    }
    s += "],\n\"events\": {";
    for (int kind = 0; kind < EventKindCount; ++kind) {
        s += kind ? ", \"" : "\"";
        s += kEventNames[kind];
        s += "\": [";
        const std::vector<double>& times = store.Events[kind];
        for (std::size_t i = 0; i < times.size(); ++i) {
            if (i) s += ", ";
            PutTime(s, times[i]);
            FlushIfLarge(s, out);
        }
        s += ']';
    }
    s += "}}\n";
    out.write(s.data(), static_cast<std::streamsize>(s.size()));
    out.flush();
}

namespace {

// "min A, max B" over the values that are readings, or "no readings".
std::string Extremes(const std::vector<float>& values, const char* unit) {
    float low = 0, high = 0;
    bool any = false;
    for (const float v : values) {
        if (v == NoReading) continue;
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    if (!any) return "no readings";
    std::string s = "min ";
    PutNumber(s, low);
    s += unit;
    s += ", max ";
    PutNumber(s, high);
    s += unit;
    return s;
}

} // namespace

void WriteChartSummary(std::ostream& out, Engine& engine) {
    const ReadingsStore& store = engine.readings();
    std::string s = "rows: " + std::to_string(store.ReadingTimes.size()) + "\n";
    if (!store.ReadingTimes.empty()) {
        s += "from: ";
        PutTime(s, store.ReadingTimes.front(), false);
        s += "\nto: ";
        PutTime(s, store.ReadingTimes.back(), false);
        s += "\n";
    }
    s += "temperature: " + Extremes(store.Temperatures, " C") + "\n";
    if (!store.Humidities.empty()) s += "humidity: " + Extremes(store.Humidities, " %RH") + "\n";
    out << s << std::flush;
}

} // namespace zantrel
