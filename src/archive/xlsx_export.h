#pragma once

#include "archive/export_count.h"

#include <QByteArray>

#include <vector>

namespace zantrel {

class ArchiveRows;

// An Excel workbook of the files' readings: the columns of the long CSV under a bold, frozen
// header row, time_utc and local_time as date cells ("yyyy-mm-dd hh:mm:ss"), channel, celsius,
// rh and gap as numbers, an empty cell for a value the reading has not. A sheet holds at most
// a sheet's rows (1,048,576); the readings go on in a sheet "Readings 2" and so on.
// Written beside path and put in its place only when complete.
ExportOutcome WriteXlsxExport(const std::vector<ArchiveRows>& files, const QByteArray& path);

} // namespace zantrel
