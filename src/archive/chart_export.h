#pragma once

#include "archive/archive_rows.h"
#include "archive/export_count.h"
#include "archive/export_format.h"
#include "files/chart_pieces_read.h"

#include <QList>

#include <functional>
#include <ostream>
#include <vector>

namespace zantrel {

class TextExportFormat;

// The chart files of one export, each read and parsed on its own and turned into rows under
// its own offset; the files are never merged.
class ExportSources {
  public:
    ExportSources(const QList<QByteArray>& paths, int currentYear, const UtcOffsetRule& rule);
    ExportSources(const ExportSources&) = delete;
    ExportSources& operator=(const ExportSources&) = delete;

    // The status text of the first file that could not be read; empty when all were.
    const QByteArray& failure() const { return read_.failure; }
    const std::vector<ArchiveRows>& files() const { return files_; }

  private:
    ChartPiecesRead read_;
    std::vector<ArchiveRows> files_;
};

// Writes the text of every file's readings in turn; write gets pieces of about a megabyte and
// returns false when it could not take one, which ends the export.
ExportOutcome WriteTextExport(const std::vector<ArchiveRows>& files, TextExportFormat& format,
                              const std::function<bool(const QByteArray&)>& write);

// The files' readings in the format at path, written beside it and put in its place only when
// complete: a failed export leaves whatever was there before.
ExportOutcome ExportToFile(const std::vector<ArchiveRows>& files, ExportFormat format,
                           const QByteArray& path);
// A text format to a stream (standard output).
ExportOutcome ExportToStream(const std::vector<ArchiveRows>& files, ExportFormat format,
                             std::ostream& out);

// "Exported 2880 readings of 1 file to site.csv", with the gaps: "and 2 gaps" where they are
// rows, "(2 gaps left out)" in the line protocol.
QString ExportedText(const ExportOutcome& outcome, ExportFormat format, const QString& where);

} // namespace zantrel
