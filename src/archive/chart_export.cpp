#include "archive/chart_export.h"

#include "archive/export_failure.h"
#include "archive/line_protocol_export.h"
#include "archive/long_csv_export.h"
#include "archive/xlsx_export.h"
#include "files/atomic_file.h"

#include <memory>

namespace zantrel {

ExportSources::ExportSources(const QList<QByteArray>& paths, int currentYear,
                             const UtcOffsetRule& rule)
    : read_(ReadChartPieces(paths, currentYear)) {
    if (!read_.failure.isEmpty()) return;
    files_.reserve(read_.pieces.size());
    for (const ChartPiece& piece : read_.pieces)
        files_.emplace_back(piece.chart, piece.path, rule);
}

namespace {

constexpr qsizetype kPiece = 1 << 20;

std::unique_ptr<TextExportFormat> TextFormat(ExportFormat format) {
    if (format == ExportFormat::Influx) return std::make_unique<LineProtocolExport>();
    return std::make_unique<LongCsvExport>();
}

} // namespace

ExportOutcome WriteTextExport(const std::vector<ArchiveRows>& files, TextExportFormat& format,
                              const std::function<bool(const QByteArray&)>& write) {
    ExportOutcome outcome;
    QByteArray text = format.header();
    text.reserve(2 * kPiece);
    bool written = true;
    for (const ArchiveRows& rows : files) {
        ++outcome.files;
        format.startFile(rows);
        rows.forEach([&](const ArchiveReading& r) {
            format.append(text, r);
            ++(r.gap() ? outcome.gaps : outcome.readings);
            if (text.size() < kPiece || !written) return;
            written = write(text);
            text.resize(0);
        });
    }
    if (written && !text.isEmpty()) written = write(text);
    if (!written) outcome.failure = "the export could not be written.";
    return outcome;
}

ExportOutcome ExportToFile(const std::vector<ArchiveRows>& files, ExportFormat format,
                           const QByteArray& path) {
    if (format == ExportFormat::Xlsx) return WriteXlsxExport(files, path);
    AtomicFile file(path);
    if (!file.open()) {
        ExportOutcome outcome;
        outcome.failure = CannotWriteText(path);
        return outcome;
    }
    const auto text = TextFormat(format);
    ExportOutcome outcome = WriteTextExport(files, *text, [&file](const QByteArray& piece) {
        file.append(piece);
        return true;
    });
    if (!file.finish() || !file.replace()) outcome.failure = CannotWriteText(path);
    return outcome;
}

ExportOutcome ExportToStream(const std::vector<ArchiveRows>& files, ExportFormat format,
                             std::ostream& out) {
    const auto text = TextFormat(format);
    ExportOutcome outcome = WriteTextExport(files, *text, [&out](const QByteArray& piece) {
        out.write(piece.constData(), piece.size());
        return bool(out);
    });
    out.flush();
    if (!out) outcome.failure = "Cannot write to standard output; the export is incomplete.";
    return outcome;
}

QString ExportedText(const ExportOutcome& outcome, ExportFormat format, const QString& where) {
    const auto plural = [](std::size_t n, const char* one, const char* many) {
        return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
    };
    QString text = "Exported " + plural(outcome.readings, "reading", "readings");
    const QString gaps = plural(outcome.gaps, "gap", "gaps");
    if (outcome.gaps && format != ExportFormat::Influx) text += " and " + gaps;
    text += " of " + plural(outcome.files, "file", "files") + " to " + where;
    if (outcome.gaps && format == ExportFormat::Influx) text += " (" + gaps + " left out)";
    return text + '.';
}

} // namespace zantrel
