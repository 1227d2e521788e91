#include "files/chart_file_loader.h"

#include "app/date_time.h"
#include "app/engine.h"
#include "app/host.h"
#include "app/sample_rate.h"
#include "files/chart_lines.h"
#include "files/chart_row_parser.h"
#include "files/date_format_detection.h"
#include "files/line_unscrambler.h"
#include "files/row_time_reader.h"
#include "files/whole_file.h"

#include <cmath>
#include <optional>
#include <string>

namespace zantrel {

namespace {

// Events one file may restore in all. Each is a record in the logger's memory, so a real chart
// holds far fewer; more is corruption, refused before it exhausts memory.
constexpr std::size_t kMaxEventsPerFile = 1000000;
constexpr int kFallbackYear = 2000;

constexpr const char* kCorrupt = "Error in file. Data is corrupt.";

// The user-information header lines and where their values go.
struct UserLine {
    std::string_view tag;
    QByteArray State::*value;
};
constexpr UserLine kUserLines[] = {{"~User Name: ", &State::UserName},
                                   {"~User Location: ", &State::UserLocation},
                                   {"~ZL ID: ", &State::UnitId},
                                   {"~PC Software Version: ", &State::SoftwareVersion}};

void SetPickers(Control& date, Control& time, double t) {
    const double day = std::floor(t);
    date.setValue(day);
    time.setValue(t - day);
}

} // namespace

ChartFileLoader::ChartFileLoader(Engine& engine) : engine_(engine) {}

void ChartFileLoader::LoaddataClick() {
    std::optional<QByteArray> path;
    {
        ModalScope modal(engine_.handoffs());
        path = engine_.host().openFileDialog();
    }
    if (path) LoadChartFile(*path);
}

bool ChartFileLoader::DetectFileDateFormat(const QByteArray& path) {
    State& s = engine_.state();
    bool found = false;
    WholeFile file;
    if (!file.open(path)) {
        s.Edit1.setText("Cannot open file.");
    } else {
        std::optional<DetectedDateFormat> format = DeclaredDateFormat(file.bytes());
        if (!format) format = GuessedDateFormat(file.bytes());
        if (format) {
            s.DATEFORMAT.setText(format->format);
            engine_.formats().shortDateFormat = format->shortFormat;
            found = true;
        } else {
            s.Edit1.setText("Date format not valid in file.");
        }
    }
    engine_.ApplyDateFormat();
    return found;
}

void ChartFileLoader::LoadChartFile(const QByteArray& path) {
    State& s = engine_.state();
    FormatSettings& formats = engine_.formats();
    // Both come back however the load ends.
    ForcedSeparators separators(formats);
    ScopedShortDateFormat shortDate(formats);
    s.FileEncryptFlag.clear();

    if (!DetectFileDateFormat(path)) return;
    WholeFile file;
    if (!file.open(path)) {
        s.Edit1.setText("Date format in file is unrecognized.");
        return;
    }

    showSecureData(false);
    engine_.ClearBuffer();
    const bool read = readLines(file.bytes());
    if (!read || s.Errorindata.checked()) {
        engine_.ClearBuffer();
        showSecureData(false);
        s.Edit1.setText(kCorrupt);
        return;
    }
    finishLoad(path);
}

bool ChartFileLoader::readLines(std::string_view content) {
    State& s = engine_.state();
    ReadingsStore& store = engine_.readings();
    const auto today = DecodeDateTime(engine_.clock().now());
    RowTimeReader times(engine_.formats().shortDateFormat, today ? today->year : kFallbackYear);
    const ChartRowParser rows(s.DATEFORMAT.text(), times);
    LineUnscrambler unscrambler;
    std::string plain;
    ChartRow row;
    std::size_t events = 0;

    ChartLineSplitter lines(content);
    std::string_view line;
    while (lines.next(line)) {
        const char first = line.empty() ? '\0' : line.front();
        if (first != '?' && first != '~') {
            // Data is taken from encrypted lines only.
            s.Errorindata.tick();
            showSecureData(false);
            break;
        }
        if (first == '?') {
            s.FileEncryptFlag.tick();
            showSecureData(true);
            unscrambler.unscramble(line.substr(1), plain);
            line = plain;
        }
        if (!line.empty() && line.front() == '~') {
            readHeaderLine(line);
            continue;
        }
        // A row without its line end was cut off: what is left of it might still read as a
        // row of fewer fields, with wrong values.
        if (!lines.complete()) return false;
        if (!rows.parse(line, row)) return false;
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
        storeRow(row);
    }
    return true;
}

void ChartFileLoader::readHeaderLine(std::string_view line) {
    State& s = engine_.state();
    for (const UserLine& user : kUserLines) {
        if (line.find(user.tag) == std::string_view::npos) continue;
        const std::size_t colon = line.find(": ");
        QByteArray value(line.data() + colon + 2, static_cast<qsizetype>(line.size() - colon - 2));
        value.replace('\r', QByteArray()); // lines come without their line feed
        s.*user.value = value;
        return;
    }
}

// Rows with and rows without RH may be mixed: once any row had RH, the humidities run parallel
// to the temperatures, a row without RH holding NoReading there.
void ChartFileLoader::storeRow(const ChartRow& row) {
    State& s = engine_.state();
    ReadingsStore& store = engine_.readings();
    store.ReadingTimes.push_back(row.time);
    store.Temperatures.push_back(row.temperature);
    std::vector<float>& humidities = store.Humidities;
    switch (row.shape) {
    case RowShape::TemperatureOnly:
        if (!humidities.empty()) humidities.push_back(NoReading);
        s.RHZL.clear();
        return;
    case RowShape::WithHumidity:
        s.RHZL.tick();
        break;
    case RowShape::Full:
        if (row.humidity > 0) s.RHZL.tick();
        for (int kind = 0; kind < EventKindCount; ++kind)
            store.Events[kind].insert(store.Events[kind].end(), row.events[kind], row.time);
        break;
    }
    if (humidities.empty()) humidities.reserve(store.Temperatures.capacity());
    humidities.resize(store.Temperatures.size() - 1, NoReading);
    humidities.push_back(row.humidity);
}

void ChartFileLoader::showSecureData(bool shown) {
    State& s = engine_.state();
    s.SecureData.setVisible(shown);
    s.LockImage.setVisible(shown);
}

void ChartFileLoader::finishLoad(const QByteArray& path) {
    State& s = engine_.state();
    const std::vector<double>& times = engine_.readings().ReadingTimes;
    if (!times.empty()) SetPickers(s.Startdate, s.Starttime, times.front());
    if (times.size() >= 2) {
        const double rate = SamplesPerHourFromInterval(times[1] - times[0]);
        s.Samplesperhour.setText(QByteArray::number(rate, 'g', 15));
    }
    s.Edit1.setText("File loaded.");
    if (!times.empty()) SetPickers(s.Enddate, s.Endtime, times.back());
    engine_.presenter().RedrawChart();
    s.CaptionSuffix.clear();
    s.Caption.setText(s.BaseCaption + " | " + path);
    s.FreshData.clear();
}

} // namespace zantrel
