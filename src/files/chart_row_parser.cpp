#include "files/chart_row_parser.h"

#include "files/chart_lines.h"
#include "files/row_time_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace zantrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view field) {
    while (!field.empty() && IsBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back()))
        field.remove_suffix(1);
    return field;
}

// The short decimals a chart file writes ("-12.50"): a sign, digits and at most one point.
// With at most Digits digits, the digits as an integer and a power of ten are both exact in
// Number, so one division rounds exactly as from_chars does. False for any other text.
template <typename Number, int Digits>
bool ReadShortDecimal(std::string_view text, Number& value, int& decimals) {
    static constexpr auto kPowers = [] {
        std::array<Number, Digits + 1> powers{};
        Number power = 1;
        for (Number& p : powers) {
            p = power;
            power *= 10;
        }
        return powers;
    }();
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    int64_t digits = 0;
    int count = 0;
    decimals = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!IsDigit(c) || ++count > Digits) return false;
        digits = digits * 10 + (c - '0');
        if (decimals >= 0) ++decimals;
    }
    if (count == 0) return false;
    if (decimals < 0) decimals = 0;
    const Number magnitude = static_cast<Number>(digits) / kPowers[decimals];
    value = text[0] == '-' ? -magnitude : magnitude;
    return true;
}

// Half a unit of the last of so many decimals, as std::pow gives it.
double HalfUnitOf(int decimals) {
    static const auto kHalves = [] {
        std::array<double, 32> halves{};
        for (std::size_t d = 0; d < halves.size(); ++d)
            halves[d] = 0.5 * std::pow(10.0, -static_cast<double>(d));
        return halves;
    }();
    return static_cast<std::size_t>(decimals) < kHalves.size() ? kHalves[decimals]
                                                               : 0.5 * std::pow(10.0, -decimals);
}

// A finite number filling the whole field (blanks around it allowed). "nan", "inf" and values
// beyond the range of a float are not readings.
bool ReadNumber(std::string_view field, float& value) {
    field = Trimmed(field);
    int decimals = 0;
    if (ReadShortDecimal<float, 7>(field, value, decimals)) return true;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end && !field.empty() && std::isfinite(value);
}

// The value of a number's text as a double, and half a unit of its last decimal: the most
// that rounding to the written figures can have moved it.
bool ReadWritten(std::string_view field, double& value, double& rounding) {
    field = Trimmed(field);
    int decimals = 0;
    if (ReadShortDecimal<double, 15>(field, value, decimals)) {
        rounding = HalfUnitOf(decimals);
        return true;
    }
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ec != std::errc() || ptr != end || field.empty()) return false;
    const std::size_t dot = field.find('.');
    decimals = 0;
    if (dot != std::string_view::npos)
        while (dot + 1 + decimals < field.size() && IsDigit(field[dot + 1 + decimals]))
            ++decimals;
    rounding = HalfUnitOf(decimals);
    return true;
}

// The Kelvin and Fahrenheit fields were written from the same reading as the Celsius field:
// each agrees with it within the rounding of the figures written. A gap is written as
// 9999.00 in all three.
bool TemperaturesAgree(std::string_view celsiusField, std::string_view kelvinField,
                       std::string_view fahrenheitField) {
    double c, k, f, cRounding, kRounding, fRounding;
    if (!ReadWritten(celsiusField, c, cRounding) || !ReadWritten(kelvinField, k, kRounding) ||
        !ReadWritten(fahrenheitField, f, fRounding))
        return false;
    if (c == NoReading) return k == c && f == c;
    // Slack for the binary arithmetic of values far from zero.
    const auto within = [](double written, double expected, double rounding) {
        return std::abs(written - expected) <= rounding + 1e-9 * std::max(1.0, std::abs(written));
    };
    return within(k, c + 273.15, kRounding + cRounding) &&
           within(f, 1.8 * c + 32, fRounding + 1.8 * cRounding);
}

bool ReadCount(std::string_view field, int& count) {
    field = Trimmed(field);
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, count);
    return ec == std::errc() && ptr == end && !field.empty() && count >= 0 &&
           count <= kMaxEventsPerRow;
}

// The comma-separated fields of a text, the first kFields of them kept.
class Fields {
  public:
    static constexpr std::size_t kFields = 11;

    explicit Fields(std::string_view text) : text_(text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != ',') continue;
            if (commas_ < kFields) commaAt_[commas_] = i;
            ++commas_;
        }
    }
    std::size_t commas() const { return commas_; }
    // Field n < kFields; the last one runs to the end of the text.
    std::string_view operator[](std::size_t n) const {
        const std::size_t start = n == 0 ? 0 : commaAt_[n - 1] + 1;
        const std::size_t end = n < commas_ ? commaAt_[n] : text_.size();
        return text_.substr(start, end - start);
    }

  private:
    std::string_view text_;
    std::size_t commaAt_[kFields];
    std::size_t commas_ = 0;
};

} // namespace

ChartRowParser::ChartRowParser(const QByteArray& dateFormat, RowTimeReader& times)
    : dateTimeLength_(static_cast<std::size_t>(dateFormat.size())), times_(times) {
    // "AM/PM" renders as two letters.
    if (dateFormat.contains("AM/PM")) dateTimeLength_ -= 3;
}

bool ChartRowParser::parse(std::string_view original, ChartRow& row) const {
    // The date-time field is followed by its comma and a blank; the comma formats put a comma
    // at position 10 too, read as a blank.
    const std::size_t fieldEnd = dateTimeLength_ + 2;
    if (original.size() < fieldEnd || original.size() > kChartLineLimit) return false;
    // A row whose field does not end where the format says is not read at all: taking it
    // anyway would shift every number into the wrong column.
    if (original[dateTimeLength_] != ',') return false;
    char copy[kChartLineLimit];
    std::memcpy(copy, original.data(), original.size());
    if (original.size() > 10 && copy[10] == ',') copy[10] = ' ';
    const std::string_view line(copy, original.size());

    const std::optional<double> time = times_.read(line.substr(0, fieldEnd));
    if (!time) return false;
    row.time = *time;

    // The rest begins with the blank after the field's comma.
    const Fields fields(line.substr(fieldEnd - 1));
    if (!ReadNumber(fields[0], row.temperature)) return false;
    switch (fields.commas()) {
    case 0:
    case 2:
    case 4:
    case 5:
        row.shape = RowShape::TemperatureOnly;
        return true;
    case 1:
        row.shape = RowShape::WithHumidity;
        return ReadNumber(fields[1], row.humidity);
    case 3:
        row.shape = RowShape::WithHumidity;
        return TemperaturesAgree(fields[0], fields[1], fields[2]) &&
               ReadNumber(fields[3], row.humidity);
    case 6:
    case 7:
    case 8:
    case 9:
        return false;
    default:
        row.shape = RowShape::Full;
        if (!TemperaturesAgree(fields[0], fields[1], fields[2])) return false;
        if (!ReadNumber(fields[3], row.humidity)) return false;
        for (int kind = 0; kind < EventKindCount; ++kind)
            if (!ReadCount(fields[4 + kind], row.events[kind])) return false;
        return true;
    }
}

} // namespace zantrel
