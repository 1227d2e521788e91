#pragma once

#include <QByteArray>
#include <QSqlQuery>
#include <QString>

#include <cstdint>

namespace zantrel {

class ArchiveDatabase;
class ArchiveRows;

// What writing one file's rows came to.
struct ArchiveWrite {
    int64_t added = 0; // readings the archive did not hold before
    QString failure;   // empty when written
};

// Writes chart files' readings into a prepared archive, each file in one transaction: rows
// go in through the engine's own interface on the connection Qt opened (COPY in PostgreSQL,
// one prepared statement in SQLite), and a reading the archive
// holds already (same unit, channel and UTC time) is left as it is, so archiving a file
// again adds nothing. A downloads row records each file that added readings. A transaction
// that PostgreSQL ends for a serialization failure or a deadlock with another writer is run
// again.
class ArchiveWriter {
  public:
    explicit ArchiveWriter(ArchiveDatabase& archive);

    // downloadedAtMs: when the readings were downloaded, milliseconds since 1970 in UTC.
    ArchiveWrite write(const ArchiveRows& rows, int64_t downloadedAtMs);

  private:
    // One try: the failed query's error in `failure`, rolled back, when it fails.
    bool tryWrite(const ArchiveRows& rows, int64_t downloadedAtMs, ArchiveWrite& result,
                  bool& retry);
    bool run(QSqlQuery& query, ArchiveWrite& result, bool& retry);

    ArchiveDatabase& archive_;
};

} // namespace zantrel
