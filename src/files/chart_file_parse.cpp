#include "files/chart_file_parse.h"

#include "files/chart_lines.h"
#include "files/chart_row_parser.h"
#include "files/date_format_detection.h"
#include "files/line_unscrambler.h"
#include "files/row_time_reader.h"

#include <string>

namespace zantrel {

namespace {

// Events one file may restore in all. Each is a record in the logger's memory, so a real chart
// holds far fewer; more is corruption, refused before it exhausts memory.
constexpr std::size_t kMaxEventsPerFile = 1000000;
constexpr std::string_view kPlainFileStart = "~Date Format: ";

constexpr std::array<std::string_view, UserLineCount> kUserTags = {
    "~User Name: ", "~User Location: ", "~ZL ID: ", "~PC Software Version: "};

void ReadHeaderLine(std::string_view line, LoadedChart& chart) {
    for (int kind = 0; kind < UserLineCount; ++kind) {
        if (line.find(kUserTags[kind]) == std::string_view::npos) continue;
        const std::size_t colon = line.find(": ");
        QByteArray value(line.data() + colon + 2, static_cast<qsizetype>(line.size() - colon - 2));
        value.replace('\r', QByteArray()); // lines come without their line feed
        chart.user[kind] = value;
        return;
    }
}

// Rows with and rows without RH may be mixed: once any row had RH, the humidities run parallel
// to the temperatures, a row without RH holding NoReading there.
void StoreRow(const ChartRow& row, LoadedChart& chart) {
    ReadingsStore& store = chart.readings;
    store.ReadingTimes.push_back(row.time);
    store.Temperatures.push_back(row.temperature);
    std::vector<float>& humidities = store.Humidities;
    switch (row.shape) {
    case RowShape::TemperatureOnly:
        if (!humidities.empty()) humidities.push_back(NoReading);
        chart.humidity = false;
        return;
    case RowShape::WithHumidity:
        chart.humidity = true;
        break;
    case RowShape::Full:
        if (row.humidity > 0) chart.humidity = true;
        for (int kind = 0; kind < EventKindCount; ++kind)
            store.Events[kind].insert(store.Events[kind].end(), row.events[kind], row.time);
        break;
    }
    if (humidities.empty()) humidities.reserve(store.Temperatures.capacity());
    humidities.resize(store.Temperatures.size() - 1, NoReading);
    humidities.push_back(row.humidity);
}

// Reads every line into chart; false on a line that is not data or a row that cannot be read.
bool ReadLines(std::string_view content, int currentYear, LoadedChart& chart) {
    ReadingsStore& store = chart.readings;
    RowTimeReader times(chart.shortDateFormat, currentYear);
    const ChartRowParser rows(chart.dateFormat, times);
    LineUnscrambler unscrambler;
    std::string plain;
    ChartRow row;
    std::size_t events = 0;

    ChartLineSplitter lines(content);
    std::string_view line;
    while (lines.next(line)) {
        const char first = line.empty() ? '\0' : line.front();
        // Data is taken from encrypted lines only.
        if (first != '?' && first != '~') return false;
        if (first == '?') {
            chart.encrypted = true;
            unscrambler.unscramble(line.substr(1), plain);
            line = plain;
        }
        // A line without its line end was cut off: what is left of a row might still read
        // as a row of fewer fields, with wrong values, and a header cut short is no chart.
        if (!lines.complete()) return false;
        if (!line.empty() && line.front() == '~') {
            ReadHeaderLine(line, chart);
            continue;
        }
        if (!rows.parse(line, row)) return false;
        // Each reading is later than the one before: a changed date or time shows here.
        if (!store.ReadingTimes.empty() && row.time <= store.ReadingTimes.back()) return false;
        if (store.ReadingTimes.empty()) {
            // Rows of one file are nearly the same length: room for the rest at once.
            const std::size_t estimate = content.size() / (line.size() + 2) * 5 / 4 + 16;
            store.ReadingTimes.reserve(estimate);
            store.Temperatures.reserve(estimate);
        }
        if (row.shape == RowShape::Full) {
            for (int count : row.events)
                events += static_cast<std::size_t>(count);
            if (events > kMaxEventsPerFile) return false;
        }
        StoreRow(row, chart);
    }
    return true;
}

// The chart file this program writes beside its duplicate: its own header first, rows in
// the clear and no scrambled line anywhere.
bool IsPlainChartFile(std::string_view content) {
    if (!content.starts_with(kPlainFileStart)) return false;
    ChartLineSplitter lines(content);
    std::string_view line;
    bool rows = false;
    while (lines.next(line)) {
        if (line.starts_with('?')) return false;
        rows = rows || !line.starts_with('~');
    }
    return rows;
}

} // namespace

ChartParse ParseChartFile(std::string_view bytes, int currentYear) {
    std::optional<DetectedDateFormat> format = DeclaredDateFormat(bytes);
    if (!format) format = GuessedDateFormat(bytes);
    if (!format) return {std::nullopt, kDateFormatNotValid};

    ChartParse parse;
    LoadedChart& chart = parse.chart.emplace();
    chart.dateFormat = format->format;
    chart.shortDateFormat = format->shortFormat;
    if (!ReadLines(bytes, currentYear, chart))
        return {std::nullopt, IsPlainChartFile(bytes) ? kPlainChartFile : kDataCorrupt};
    return parse;
}

} // namespace zantrel
