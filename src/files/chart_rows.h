#pragma once

#include "chart/readings_store.h"
#include "core/date_rendering.h"

#include <QByteArray>
#include <array>
#include <cstddef>

namespace zantrel {

// The pieces of a chart file's text: the header lines that begin with "~" and the
// comma-delimited data rows. Every line ends with CR LF; numbers always use ".".

// The date format as it goes into a file: line breaks (a hand-edited settings file may end
// with one) would split the header line and every row, so they are left out.
QByteArray FileDateFormat(const QByteArray& dateFormat);

// "~Date Format: " and "~File Created On: " lines, the creation time rendered with the format.
QByteArray DateFormatAndCreationLines(const QByteArray& dateFormat, double createdOn);

// The "~" line and the column header line; the comma formats give date and time a column each.
QByteArray ColumnHeaderLines(const QByteArray& dateFormat);

// Counts the events of each list that fall at or before a row's time, each event once, on the
// first row at or after it. Rows must be visited in order.
class EventCursors {
  public:
    using Counts = std::array<std::size_t, EventKindCount>;

    explicit EventCursors(const ReadingsStore& store) : store_(store) {}
    Counts take(double rowTime);

  private:
    const ReadingsStore& store_;
    std::array<std::size_t, EventKindCount> next_{};
};

// Renders data rows without allocating: date-time, Celsius, Kelvin, Fahrenheit, RH, joined
// by ", ", then optionally the seven event counts.
class ChartRowFormatter {
  public:
    // humidity: the channel records RH (otherwise the RH field is "0").
    ChartRowFormatter(const QByteArray& dateFormat, bool humidity);

    // Room a row needs, line end included.
    int maxLength() const { return maxLength_; }

    // Writes the five reading fields; humidity may be null (no value: "0").
    char* writeReading(char* p, double time, float celsius, const float* humidity) const;
    // Writes ", " and each count.
    static char* writeCounts(char* p, const EventCursors::Counts& counts);
    static char* writeLineEnd(char* p);

  private:
    DateFormatter date_;
    bool humidity_;
    int maxLength_;
};

} // namespace zantrel
