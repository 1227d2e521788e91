#include "archive/postgresql_rows_copy.h"

#include "archive/archive_database.h"
#include "archive/archive_rows.h"
#include "archive/archive_writer.h"
#include "archive/text_export.h"
#include "archive/utc_offset.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <libpq-fe.h>

#include <optional>

namespace zantrel {

namespace {

constexpr const char* kColumns =
    "unit, channel, time_utc, location, user_name, local_time, celsius, rh, new_sensor, "
    "temp_alarm_start, rh_alarm_start, temp_alarm_end, rh_alarm_end, test_start, test_end, gap";

// The event counts in the order of the table's columns.
constexpr EventKind kEventColumns[] = {NewSensor,  TempAlarmStart, RhAlarmStart, TempAlarmEnd,
                                       RhAlarmEnd, TestStart,      TestEnd};

// A text in COPY's text format: backslash, tab and line ends escaped.
void PutText(QByteArray& line, const QByteArray& text) {
    for (char c : text) {
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r') {
            line += '\\';
            c = c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : c;
        }
        line += c;
    }
}

// The shortest decimal that reads back as the same 32-bit value; \N for none.
void PutFloat(QByteArray& line, const std::optional<float>& value) {
    if (!value) {
        line += "\\N";
        return;
    }
    AppendFloat(line, *value);
}

bool Exec(QSqlQuery& query, const QString& sql, QString& failure, QString& code) {
    if (query.exec(sql)) return true;
    failure = ArchiveErrorText(query.lastError());
    code = query.lastError().nativeErrorCode();
    return false;
}

// Whether the archive holds any reading of the rows' unit and channel in their time span. The
// prepared statement is gone before the COPY, so that a COPY that fails leaves no statement
// to free in the failed transaction.
std::optional<bool> HoldsSpan(QSqlDatabase& db, const ArchiveRows& rows, QString& failure,
                              QString& code) {
    QSqlQuery query(db);
    query.prepare("SELECT EXISTS (SELECT 1 FROM readings WHERE unit = ? AND channel = ? AND "
                  "time_utc BETWEEN ? AND ?)");
    query.addBindValue(QString::fromUtf8(rows.unit()));
    query.addBindValue(rows.channel());
    query.addBindValue(QString::fromLatin1(UtcIsoText(rows.firstUtcMs())));
    query.addBindValue(QString::fromLatin1(UtcIsoText(rows.lastUtcMs())));
    if (query.exec() && query.next()) return query.value(0).toBool();
    failure = ArchiveErrorText(query.lastError());
    code = query.lastError().nativeErrorCode();
    return std::nullopt;
}

} // namespace

bool PostgresqlCopyRows(QSqlDatabase& db, const ArchiveRows& rows, int64_t& added, QString& failure,
                        QString& code) {
    const QVariant handle = db.driver()->handle();
    // Qt names the type as libpq declares it: PGconn is a typedef of pg_conn.
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "PGconn*") != 0 &&
                              qstrcmp(handle.typeName(), "pg_conn*") != 0)) {
        failure = "the PostgreSQL driver gives no connection handle";
        return false;
    }
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    // Readings of a time the archive holds nothing of for this unit and channel go straight
    // into the table; should another writer add some meanwhile, the key refuses the COPY and
    // the transaction runs again. Otherwise they go through a table of their own first.
    const std::optional<bool> holds = HoldsSpan(db, rows, failure, code);
    if (!holds) return false;
    const bool direct = !*holds;
    QSqlQuery query(db);
    if (!direct && !Exec(query,
                         "CREATE TEMP TABLE IF NOT EXISTS incoming (LIKE readings) "
                         "ON COMMIT DELETE ROWS",
                         failure, code))
        return false;

    PGresult* started =
        PQexec(connection, QByteArray("COPY ") + (direct ? "readings (" : "incoming (") + kColumns +
                               ") FROM STDIN");
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    PQclear(started);
    if (!copying) {
        failure = QString::fromUtf8(PQerrorMessage(connection)).simplified();
        return false;
    }
    // What every row of the file shares: unit and channel before the time, location and
    // user name after it.
    QByteArray head;
    PutText(head, rows.unit());
    head += '\t' + QByteArray::number(rows.channel()) + '\t';
    QByteArray middle = "\t";
    PutText(middle, rows.location());
    middle += '\t';
    PutText(middle, rows.userName());
    middle += '\t';
    QByteArray chunk;
    bool sent = true;
    rows.forEach([&](const ArchiveReading& r) {
        chunk += head;
        chunk += UtcIsoText(r.utcMs);
        chunk += middle;
        PutText(chunk, *r.localTime);
        chunk += '\t';
        PutFloat(chunk, r.celsius);
        chunk += '\t';
        PutFloat(chunk, r.rh);
        for (EventKind kind : kEventColumns) {
            chunk += '\t';
            chunk += QByteArray::number(r.events[kind]);
        }
        chunk += r.gap() ? "\tt\n" : "\tf\n";
        if (chunk.size() > (1 << 16) && sent) {
            sent = PQputCopyData(connection, chunk.constData(), int(chunk.size())) == 1;
            chunk.clear();
        }
    });
    if (sent && !chunk.isEmpty())
        sent = PQputCopyData(connection, chunk.constData(), int(chunk.size())) == 1;
    bool ok = PQputCopyEnd(connection, sent ? nullptr : "not sent") == 1;
    while (PGresult* result = PQgetResult(connection)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            ok = false;
            if (const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE))
                code = QString::fromLatin1(state);
            // A reading another writer added since the look: run again the other way.
            if (direct && code == "23505") code = "40001";
        }
        PQclear(result);
    }
    if (!ok) {
        failure = QString::fromUtf8(PQerrorMessage(connection)).simplified();
        return false;
    }
    if (direct) {
        added += int64_t(rows.size());
        return true;
    }
    if (!Exec(query,
              QString("INSERT INTO readings (%1) SELECT %1 FROM incoming ORDER BY time_utc "
                      "ON CONFLICT (unit, channel, time_utc) DO NOTHING")
                  .arg(kColumns),
              failure, code))
        return false;
    added += std::max(0, query.numRowsAffected());
    return Exec(query, "TRUNCATE incoming", failure, code);
}

} // namespace zantrel
