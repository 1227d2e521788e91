#include "archive/archive_writer.h"

#include "archive/archive_database.h"
#include "archive/archive_rows.h"
#include "archive/sqlite_rows_insert.h"

#include <QSqlError>

#include <charconv>
#include <cstdio>

namespace zantrel {

namespace {

constexpr int kColumns = 16;
constexpr int kBatchRows = 250;
constexpr int kTries = 5;

QString InsertStatement(int rows) {
    QString sql = "INSERT INTO readings (unit, channel, time_utc, location, user_name, "
                  "local_time, celsius, rh, new_sensor, temp_alarm_start, rh_alarm_start, "
                  "temp_alarm_end, rh_alarm_end, test_start, test_end, gap) VALUES ";
    const QString row = "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    sql.reserve(sql.size() + rows * (row.size() + 1) + 64);
    for (int i = 0; i < rows; ++i) {
        if (i) sql += ',';
        sql += row;
    }
    sql += " ON CONFLICT (unit, channel, time_utc) DO NOTHING";
    return sql;
}

// A reading as the shortest text that reads back as the same 32-bit value, so that 20.1
// stays 20.1 in both engines.
QVariant FloatValue(const std::optional<float>& value) {
    if (!value) return QVariant(QMetaType::fromType<double>());
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
    return QString::fromLatin1(text, end - text);
}

// The event counts in the order of the table's columns.
constexpr EventKind kEventColumns[] = {NewSensor,  TempAlarmStart, RhAlarmStart, TempAlarmEnd,
                                       RhAlarmEnd, TestStart,      TestEnd};

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

ArchiveWriter::ArchiveWriter(ArchiveDatabase& archive) : archive_(archive), batch_(archive.db()) {
    if (archive.postgresql()) batch_.prepare(InsertStatement(kBatchRows));
}

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

bool ArchiveWriter::insertBatches(const ArchiveRows& rows, ArchiveWrite& result, bool& retry) {
    const QVariant unit = QString::fromUtf8(rows.unit());
    const QVariant channel = rows.channel();
    const QVariant location = QString::fromUtf8(rows.location());
    const QVariant userName = QString::fromUtf8(rows.userName());
    const std::size_t total = rows.size();
    const std::size_t tail = total % kBatchRows;
    QSqlQuery last(archive_.db());
    if (tail) last.prepare(InsertStatement(int(tail)));

    std::size_t done = 0;
    int column = 0;
    bool ok = true;
    rows.forEach([&](const ArchiveReading& r) {
        if (!ok) return;
        QSqlQuery& q = total - done <= tail && tail ? last : batch_;
        q.bindValue(column++, unit);
        q.bindValue(column++, channel);
        q.bindValue(column++, QString::fromLatin1(ArchiveTimeText(r.utcMs)));
        q.bindValue(column++, location);
        q.bindValue(column++, userName);
        q.bindValue(column++, QString::fromLatin1(*r.localTime));
        q.bindValue(column++, FloatValue(r.celsius));
        q.bindValue(column++, FloatValue(r.rh));
        for (EventKind kind : kEventColumns)
            q.bindValue(column++, r.events[kind]);
        q.bindValue(column++, r.gap());
        ++done;
        if (column == kColumns * (&q == &last ? int(tail) : kBatchRows)) {
            column = 0;
            ok = run(q, result, retry);
        }
    });
    return ok;
}

bool ArchiveWriter::tryWrite(const ArchiveRows& rows, int64_t downloadedAtMs, ArchiveWrite& result,
                             bool& retry) {
    QSqlDatabase& db = archive_.db();
    if (!db.transaction()) {
        result.failure = ArchiveErrorText(db.lastError());
        return false;
    }
    bool ok = archive_.postgresql() ? insertBatches(rows, result, retry)
                                    : SqliteInsertRows(db, rows, result.added, result.failure);
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
