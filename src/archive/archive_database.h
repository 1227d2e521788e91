#pragma once

#include "archive/archive_url.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace zantrel {

// One connection to the archive, under a name of its own so that threads and several
// archives at once never share one; closed and removed at the end. SQLite runs in WAL mode,
// so readers go on while a writer writes, and waits for a lock rather than failing at once.
class ArchiveDatabase {
  public:
    explicit ArchiveDatabase(const ArchiveUrl& url);
    ~ArchiveDatabase();
    ArchiveDatabase(const ArchiveDatabase&) = delete;
    ArchiveDatabase& operator=(const ArchiveDatabase&) = delete;

    // Empty when open; otherwise why the archive could not be opened.
    const QString& failure() const { return failure_; }
    QSqlDatabase& db() { return db_; }
    const ArchiveUrl& url() const { return url_; }
    bool postgresql() const { return url_.engine == ArchiveUrl::Postgresql; }

  private:
    ArchiveUrl url_;
    QString name_;
    QSqlDatabase db_;
    QString failure_;
};

// What the driver and the server said, on one line.
QString ArchiveErrorText(const QSqlError& error);

} // namespace zantrel
