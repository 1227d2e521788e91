#pragma once

#include <QByteArray>
#include <QString>

namespace zantrel {

// Why no file can be written in the folder of path (an absolute path), found by writing and
// removing a small file there before any reading is uploaded; empty when one can.
QString OutputFolderProblem(const QByteArray& path);

// A chart file name in folder that no file has yet, for readings whose save failed:
// "zantrel-upload-YYYYMMDD-HHMMSS.csv" at the time now, with "-2", "-3"... when taken.
QByteArray FallbackChartPath(const QByteArray& folder, double now);

// The folder for temporary files: $TMPDIR, else /tmp.
QByteArray TemporaryFolder();

} // namespace zantrel
