#pragma once

#include <QByteArray>
#include <optional>
#include <string_view>

namespace zantrel {

// Reads the date-time at the start of a chart row with a short date format, giving exactly what
// ParseDateTime gives (separators "/" and ":"), but fast for the rows a chart file holds: a date
// of two, two and four digits (or four, two and two) in the format's order and a time of
// hh:mm:ss, optionally followed by AM or PM. Anything else goes to ParseDateTime.
class RowTimeReader {
  public:
    RowTimeReader(const QByteArray& shortDateFormat, int currentYear);

    std::optional<double> read(std::string_view text);

  private:
    enum class Order { Other, MonthDayYear, DayMonthYear, YearMonthDay };

    std::optional<double> readFast(std::string_view text, bool& handled);
    std::optional<double> date(int year, int month, int day);

    QByteArray shortDateFormat_;
    int currentYear_;
    Order order_ = Order::Other;
    // The last date read: consecutive rows nearly always share it.
    int lastKey_ = -1;
    std::optional<double> lastDate_;
};

} // namespace zantrel
