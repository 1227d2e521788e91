#include "files/chart_row_parser.h"

#include "files/chart_lines.h"
#include "files/row_time_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace zantrel {

namespace {

std::string_view Trimmed(std::string_view field) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!field.empty() && blank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && blank(field.back()))
        field.remove_suffix(1);
    return field;
}

// A finite number filling the whole field (blanks around it allowed). "nan", "inf" and values
// beyond the range of a float are not readings.
bool ReadNumber(std::string_view field, float& value) {
    field = Trimmed(field);
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end && !field.empty() && std::isfinite(value);
}

bool ReadCount(std::string_view field, int& count) {
    field = Trimmed(field);
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, count);
    return ec == std::errc() && ptr == end && !field.empty() && count >= 0 &&
           count <= kMaxEventsPerRow;
}

// The fields between commas, up to the number wanted; the last one runs to the line end.
template <std::size_t N> struct Fields {
    std::array<std::string_view, N> at;
    std::size_t commas = 0; // in the whole text
};

template <std::size_t N> Fields<N> Split(std::string_view text) {
    Fields<N> f;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ',') continue;
        if (f.commas < N) f.at[f.commas] = text.substr(start, i - start);
        ++f.commas;
        start = i + 1;
    }
    if (f.commas < N) f.at[f.commas] = text.substr(start);
    return f;
}

} // namespace

ChartRowParser::ChartRowParser(const QByteArray& dateFormat, RowTimeReader& times)
    : dateTimeLength_(static_cast<std::size_t>(dateFormat.size())), times_(times) {
    // "AM/PM" renders as two letters.
    if (dateFormat.contains("AM/PM")) dateTimeLength_ -= 3;
}

std::optional<ChartRow> ChartRowParser::parse(std::string_view original) const {
    // The date-time field is followed by its comma and a blank; the comma formats put a comma
    // at position 10 too, read as a blank.
    const std::size_t fieldEnd = dateTimeLength_ + 2;
    if (original.size() < fieldEnd || original.size() > kChartLineLimit) return std::nullopt;
    // A row whose field does not end where the format says is not read at all: taking it
    // anyway would shift every number into the wrong column.
    if (original[dateTimeLength_] != ',') return std::nullopt;
    char copy[kChartLineLimit];
    std::memcpy(copy, original.data(), original.size());
    if (original.size() > 10 && copy[10] == ',') copy[10] = ' ';
    const std::string_view line(copy, original.size());

    ChartRow row;
    const std::optional<double> time = times_.read(line.substr(0, fieldEnd));
    if (!time) return std::nullopt;
    row.time = *time;

    // The rest begins with the blank after the field's comma.
    const auto fields = Split<11>(line.substr(fieldEnd - 1));
    if (!ReadNumber(fields.at[0], row.temperature)) return std::nullopt;
    switch (fields.commas) {
    case 0:
    case 2:
    case 4:
    case 5:
        row.shape = RowShape::TemperatureOnly;
        return row;
    case 1:
    case 3:
        row.shape = RowShape::WithHumidity;
        if (!ReadNumber(fields.at[fields.commas], row.humidity)) return std::nullopt;
        return row;
    case 6:
    case 7:
    case 8:
    case 9:
        return std::nullopt;
    default:
        row.shape = RowShape::Full;
        if (!ReadNumber(fields.at[3], row.humidity)) return std::nullopt;
        for (int kind = 0; kind < EventKindCount; ++kind)
            if (!ReadCount(fields.at[4 + kind], row.events[kind])) return std::nullopt;
        return row;
    }
}

} // namespace zantrel
