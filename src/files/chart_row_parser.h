#pragma once

#include "chart/readings_store.h"

#include <QByteArray>
#include <array>
#include <string_view>

namespace zantrel {

class RowTimeReader;

// The most events of one kind that one row may count. A logger records far fewer between two
// readings; a bigger count is taken as corruption rather than a reason to fill memory.
inline constexpr int kMaxEventsPerRow = 10000;

// What a row carries besides its time and temperature, told by the number of commas after the
// date-time: 10 or more, the full row with RH and the seven event counts; 1 or 3, temperature
// and RH; 0, 2, 4 or 5, the temperature alone. 6 to 9 commas are a full row with a field missing.
enum class RowShape { Full, WithHumidity, TemperatureOnly };

struct ChartRow {
    double time = 0;
    float temperature = 0;
    float humidity = 0; // not for TemperatureOnly
    RowShape shape = RowShape::TemperatureOnly;
    std::array<int, EventKindCount> events{}; // counts of the full row, in column order
};

// Reads data rows of a chart file written with one date format.
class ChartRowParser {
  public:
    // dateFormat: the file's date format, whose rendered length places the end of the
    // date-time field.
    ChartRowParser(const QByteArray& dateFormat, RowTimeReader& times);

    // Reads a row into row; false when the row is too short, its date-time field does not end
    // with a comma where the format's rendered length puts it, the date-time cannot be read, a
    // number is not a finite number or a count not an integer from 0 to kMaxEventsPerRow, or
    // the Kelvin or Fahrenheit field disagrees with the Celsius field beyond the rounding of
    // the written figures. The event counts are set only for a full row.
    bool parse(std::string_view line, ChartRow& row) const;

  private:
    std::size_t dateTimeLength_; // of the rendered date-time
    RowTimeReader& times_;
};

} // namespace zantrel
