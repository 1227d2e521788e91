#pragma once

#include "archive/archive_database.h"
#include "archive/archive_url.h"
#include "archive/archive_writer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

namespace zantrel {

class UtcOffsetRule;

// What became of one chart file.
struct FileArchived {
    QByteArray file;      // the file name
    int64_t readings = 0; // the file holds
    int64_t added = 0;    // of them new to the archive
    int offsetSeconds = 0;
    QString failure; // empty when archived
};

// An archive opened for writing chart files into, its tables made or checked first. The
// chart files are only read.
class ChartArchive {
  public:
    explicit ChartArchive(const ArchiveUrl& url);
    ~ChartArchive();

    // Empty when the archive is open and ready; otherwise why not.
    const QString& failure() const { return failure_; }

    // Reads and writes one chart file (a duplicate, as loading takes it). nowMs: when its
    // readings were downloaded, in UTC; currentYear places two-digit years.
    FileArchived archiveFile(const QByteArray& path, const UtcOffsetRule& rule, int64_t nowMs,
                             int currentYear);

  private:
    ArchiveDatabase database_;
    std::unique_ptr<ArchiveWriter> writer_;
    QString failure_;
};

} // namespace zantrel
