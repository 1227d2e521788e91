#pragma once

#include <QByteArray>
#include <optional>
#include <string_view>

namespace zantrel {

// The date format of a chart file and the short date format its dates are read with.
struct DetectedDateFormat {
    QByteArray format;      // as DATEFORMAT holds it, e.g. "dd/mm/yyyy, hh:mm:ss"
    QByteArray shortFormat; // e.g. "dd/mm/yyyy,"
};

// The format a file declares in its first "~Date Format: " line: the text after the line's
// first ":" and the blank after it, taken as it is, its short date format being the part before
// its first blank.
std::optional<DetectedDateFormat> DeclaredDateFormat(std::string_view content);

// For files without that line: the format guessed from the shape of the lines, testing every
// line in turn (header lines too) until one tells.
std::optional<DetectedDateFormat> GuessedDateFormat(std::string_view content);

} // namespace zantrel
