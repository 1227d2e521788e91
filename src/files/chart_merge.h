#pragma once

#include "files/chart_file_parse.h"

#include <QByteArray>
#include <cstddef>
#include <optional>
#include <vector>

namespace zantrel {

// The refusals of a merge; each is followed by ": " and what it found (file names, the time).
inline constexpr const char* kReadingsDiffer = "Files hold different readings";
inline constexpr const char* kHumidityDiffers = "Humidity in some files only";
inline constexpr const char* kUnitIdsDiffer = "Files of different ZL units";

// One parsed chart file and the path it was read from.
struct ChartPiece {
    QByteArray path;
    LoadedChart chart;
};

// The outcome of a merge: the chart and the order its pieces were merged in (indices into the
// pieces given, earliest first reading first), or the status text that refuses.
struct ChartMerge {
    std::optional<LoadedChart> chart;
    std::vector<std::size_t> order;
    QByteArray failure;
};

// The pieces as one chart: readings merged by time, a reading found in several pieces with
// the same values kept once, events merged in time order (an event at the same time in several
// pieces kept once); encrypted only when every piece was; the date formats and the user
// information of the first piece in time. Refused when two pieces hold different values at the
// same time (naming both files and the time in the first piece's date format), when some
// pieces have humidity and others not, or when their ZL IDs differ.
ChartMerge MergeCharts(const std::vector<ChartPiece>& pieces);

// The file name of a path: what follows its last '/'.
QByteArray FileNameOf(const QByteArray& path);

} // namespace zantrel
