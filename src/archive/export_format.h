#pragma once

#include <QString>

#include <optional>

namespace zantrel {

// The forms a chart file's readings are exported in.
enum class ExportFormat {
    Csv,    // long CSV, one row per reading
    Influx, // InfluxDB line protocol, one line per reading with a value
    Xlsx    // an Excel workbook with date cells
};

// "csv", "influx" or "xlsx"; empty for any other name.
std::optional<ExportFormat> ExportFormatNamed(const QString& name);
// The file name ending the format's files usually have: ".csv", ".lp", ".xlsx".
const char* ExportFileSuffix(ExportFormat format);
// Whether the format is text that can go to standard output.
bool ExportIsText(ExportFormat format);

} // namespace zantrel
