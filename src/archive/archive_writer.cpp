#include "archive/archive_writer.h"

#include "archive/archive_database.h"
#include "archive/archive_rows.h"
#include "archive/postgresql_rows_copy.h"
#include "archive/sqlite_rows_insert.h"
#include "archive/utc_offset.h"

#include <QSqlError>

namespace zantrel {

namespace {

constexpr int kTries = 5;

} // namespace

ArchiveWriter::ArchiveWriter(ArchiveDatabase& archive) : archive_(archive) {}

ArchiveWrite ArchiveWriter::write(const ArchiveRows& rows, int64_t downloadedAtMs) {
    ArchiveWrite result;
    for (int attempt = 1;; ++attempt) {
        bool retry = false;
        result = ArchiveWrite{};
        if (tryWrite(rows, downloadedAtMs, result, retry)) return result;
        if (!retry || attempt == kTries) return result;
    }
}

bool ArchiveWriter::run(QSqlQuery& query, ArchiveWrite& result, bool& retry) {
    if (query.exec()) {
        result.added += std::max(0, query.numRowsAffected());
        return true;
    }
    const QString code = query.lastError().nativeErrorCode();
    retry = archive_.postgresql() && (code == "40001" || code == "40P01");
    result.failure = ArchiveErrorText(query.lastError());
    return false;
}

bool ArchiveWriter::tryWrite(const ArchiveRows& rows, int64_t downloadedAtMs, ArchiveWrite& result,
                             bool& retry) {
    QSqlDatabase& db = archive_.db();
    if (!db.transaction()) {
        result.failure = ArchiveErrorText(db.lastError());
        return false;
    }
    QString code;
    bool ok = archive_.postgresql()
                  ? PostgresqlCopyRows(db, rows, result.added, result.failure, code)
                  : SqliteInsertRows(db, rows, result.added, result.failure);
    if (!ok) retry = code == "40001" || code == "40P01";
    if (ok && result.added > 0) {
        QSqlQuery download(db);
        download.prepare("INSERT INTO downloads (downloaded_at, unit, channel, first_utc, "
                         "last_utc, readings, source_file, encrypted, utc_offset) "
                         "VALUES (?,?,?,?,?,?,?,?,?)");
        download.addBindValue(QString::fromLatin1(UtcIsoText(downloadedAtMs)));
        download.addBindValue(QString::fromUtf8(rows.unit()));
        download.addBindValue(rows.channel());
        download.addBindValue(QString::fromLatin1(UtcIsoText(rows.firstUtcMs())));
        download.addBindValue(QString::fromLatin1(UtcIsoText(rows.lastUtcMs())));
        download.addBindValue(qint64(result.added));
        download.addBindValue(QString::fromUtf8(rows.sourceFile()));
        download.addBindValue(rows.encrypted());
        download.addBindValue(QString::fromLatin1(UtcOffsetText(rows.offsetSeconds())));
        const int64_t added = result.added;
        ok = run(download, result, retry);
        result.added = added;
    }
    if (ok && db.commit()) return true;
    if (ok) result.failure = ArchiveErrorText(db.lastError());
    db.rollback();
    return false;
}

} // namespace zantrel
