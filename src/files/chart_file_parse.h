#pragma once

#include "chart/readings_store.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <string_view>

namespace zantrel {

inline constexpr const char* kDateFormatNotValid = "Date format not valid in file.";
inline constexpr const char* kDataCorrupt = "Error in file. Data is corrupt.";
inline constexpr const char* kPlainChartFile =
    "This is the plain chart file; its readings load from the encrypted duplicate (.zlx) "
    "beside it.";

// The user-information lines of a chart file's header, in file order.
enum UserLineKind {
    UserNameLine,
    UserLocationLine,
    UnitIdLine,
    SoftwareVersionLine,
    UserLineCount
};

// What a chart file holds, read without an engine or a file system.
struct LoadedChart {
    QByteArray dateFormat;      // as DATEFORMAT holds it
    QByteArray shortDateFormat; // the short date format its dates were read with
    ReadingsStore readings;
    bool humidity = false;  // the file's last row said whether the channel has humidity
    bool encrypted = false; // its data came from scrambled lines
    // The values of the user-information lines the file has.
    std::array<std::optional<QByteArray>, UserLineCount> user;
};

// The outcome of parsing: the chart, or the status text that says why there is none
// (kDateFormatNotValid, kDataCorrupt or kPlainChartFile).
struct ChartParse {
    std::optional<LoadedChart> chart;
    QByteArray failure;
};

// Reads a chart file's bytes: its date format, then every line, data being taken from scrambled
// lines only. Two-digit years are placed in the window around currentYear.
ChartParse ParseChartFile(std::string_view bytes, int currentYear);

} // namespace zantrel
