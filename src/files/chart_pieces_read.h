#pragma once

#include "files/chart_merge.h"

#include <QByteArray>
#include <QList>
#include <vector>

namespace zantrel {

// The chart files of one load, each read and parsed; or why the first of them in the order
// given that could not be (whichever failure was found first).
struct ChartPiecesRead {
    std::vector<ChartPiece> pieces; // one per path, in the order given; empty on failure
    // The status text of the first failing file, after its file name:
    // "T1202612site.csv: Cannot open file. No such file or directory." or
    // "T1202612site.csv: Error in file. Data is corrupt."; empty when every file parsed.
    QByteArray failure;
    // Why that file could not be read, when reading was what failed.
    QByteArray openFailure;
};

// Reads and parses the files on up to `workers` threads at a time (0: one per processor
// core), each thread dropping a file's bytes once parsed. Two-digit years are placed in the
// window around currentYear.
ChartPiecesRead ReadChartPieces(const QList<QByteArray>& paths, int currentYear,
                                unsigned workers = 0);

} // namespace zantrel
