#pragma once

#include "files/scrambling.h"

#include <QByteArray>
#include <optional>

namespace zantrel {

enum class MonthlyFileKind { Chart, Duplicate };

// What a monthly chart file or duplicate already holds, read before rows are added to it.
struct MonthlyFileContent {
    bool exists = false;
    // Why no row may be added to the file (it is then left as it is); empty when rows may.
    QByteArray refusal;
    // The bytes that stay: every whole line up to the last row before the download's start.
    // A last line without its line end (a row cut short, NUL bytes a crash left) goes, and so
    // do rows the download brings again. 0 when no row stays: the file is written anew.
    qint64 keep = 0;
    int rows = 0;                  // the rows that stay
    std::optional<double> lastRow; // the time of the newest of them
    QByteArray dateFormat;         // as the file declares it
    // Duplicates: the scrambling state after the rows that stay, and whether it is the state
    // the writer had there, each of those lines scrambling back to the very bytes it holds.
    ScrambleState state;
    bool continuable = false;
};

// Reads the file at path, never through a symbolic link. unitId: the ZL ID the file must
// name, or null for any. Rows at or after `from` count as not stored. Two-digit years are
// placed around currentYear.
MonthlyFileContent ReadMonthlyFile(const QByteArray& path, MonthlyFileKind kind,
                                   const QByteArray* unitId, double from, int currentYear);

} // namespace zantrel
