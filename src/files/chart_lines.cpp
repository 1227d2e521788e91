#include "files/chart_lines.h"

#include <algorithm>
#include <cstring>

namespace zantrel {

bool ChartLineSplitter::next(std::string_view& line) {
    if (rest_.empty()) return false;
    const char* p = rest_.data();
    // A line end counts as one character, and a CR before it as none: the line end of a line
    // that fits lies at most 254 bytes in.
    const std::size_t searched = std::min(rest_.size(), kChartLineLimit + 1);
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', searched));
    std::size_t taken = 0;
    std::size_t length = 0;
    if (lf) {
        const auto end = static_cast<std::size_t>(lf - p);
        length = end > 0 && p[end - 1] == '\r' ? end - 1 : end;
        taken = end + 1;
        complete_ = length + 1 <= kChartLineLimit;
        if (!complete_) length = taken = kChartLineLimit;
    } else {
        length = taken = std::min(rest_.size(), kChartLineLimit);
        complete_ = false;
    }
    line = std::string_view(p, length);
    rest_.remove_prefix(taken);
    return true;
}

} // namespace zantrel
