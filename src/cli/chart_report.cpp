#include "cli/chart_report.h"
#include "chart/readings_store.h"
#include "core/state.h"

#include "cli/json_text.h"
#include "engine/engine.h"
#include "files/chart_file_loader.h"

#include <algorithm>
#include <string>

namespace zantrel {

namespace {

constexpr const char* kEventNames[EventKindCount] = {
    "new_sensor",   "temp_alarm_start", "rh_alarm_start", "temp_alarm_end",
    "rh_alarm_end", "test_start",       "test_end"};

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
    s += "},\n\"files\": [";
    const QList<QByteArray>& files = engine.loader().loadedFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i) s += ", ";
        PutPath(s, files[i]);
    }
    s += "]}\n";
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
