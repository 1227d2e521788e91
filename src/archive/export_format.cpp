#include "archive/export_format.h"

namespace zantrel {

std::optional<ExportFormat> ExportFormatNamed(const QString& name) {
    if (name == "csv") return ExportFormat::Csv;
    if (name == "influx") return ExportFormat::Influx;
    if (name == "xlsx") return ExportFormat::Xlsx;
    return std::nullopt;
}

const char* ExportFileSuffix(ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return ".csv";
    case ExportFormat::Influx:
        return ".lp";
    case ExportFormat::Xlsx:
        return ".xlsx";
    }
    return "";
}

bool ExportIsText(ExportFormat format) {
    return format != ExportFormat::Xlsx;
}

} // namespace zantrel
