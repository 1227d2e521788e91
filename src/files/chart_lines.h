#pragma once

#include <cstddef>
#include <string_view>

namespace zantrel {

// A chart file is read line by line with a buffer of 254 characters, the line end included.
inline constexpr std::size_t kChartLineLimit = 254;

// Splits file content into the lines a chart file is read by. CR LF is one line end and its
// CR is dropped; a lone CR is data. A line longer than the limit comes out in pieces: the first
// 254 characters, then the rest as further lines (so a line of 254 characters and its line end
// gives that line and an empty one). Lines are views into the content, never copies.
class ChartLineSplitter {
  public:
    explicit ChartLineSplitter(std::string_view content) : rest_(content) {}

    // The next line without its line end; false at the end of the content.
    bool next(std::string_view& line);
    // Whether the line last returned ended with a line end: not so for the first pieces of an
    // over-long line, nor for a last line that was cut off.
    bool complete() const { return complete_; }

  private:
    std::string_view rest_;
    bool complete_ = false;
};

} // namespace zantrel
