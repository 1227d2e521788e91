#include "archive/archive_writer.h"

#include "archive/archive_database.h"
#include "archive/archive_rows.h"
#include "archive/postgresql_rows_copy.h"
#include "archive/sqlite_rows_insert.h"

#include <QSqlError>

#include <cstdio>

namespace zantrel {

namespace {

constexpr int kTries = 5;

} // namespace

QByteArray ArchiveTimeText(int64_t utcMs) {
    // Days since 1970 to the civil date (proleptic Gregorian), as the C++ calendar does it.
    int64_t seconds = utcMs >= 0 ? utcMs / 1000 : -((-utcMs + 999) / 1000);
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int64_t daySeconds = seconds - days * 86400;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const int year = int(yoe + era * 400 + (month <= 2));
    char text[32];
    const int n =
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day,
                      int(daySeconds / 3600), int(daySeconds / 60 % 60), int(daySeconds % 60));
    return QByteArray(text, n);
}

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
        download.addBindValue(QString::fromLatin1(ArchiveTimeText(downloadedAtMs)));
        download.addBindValue(QString::fromUtf8(rows.unit()));
        download.addBindValue(rows.channel());
        download.addBindValue(QString::fromLatin1(ArchiveTimeText(rows.firstUtcMs())));
        download.addBindValue(QString::fromLatin1(ArchiveTimeText(rows.lastUtcMs())));
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
