#include "archive/sqlite_rows_insert.h"

#include "archive/archive_rows.h"
#include "archive/archive_writer.h"
#include "archive/text_export.h"
#include "archive/utc_offset.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

#include <memory>

namespace zantrel {

namespace {

struct StatementEnd {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The event counts in the order of the table's columns.
constexpr EventKind kEventColumns[] = {NewSensor,  TempAlarmStart, RhAlarmStart, TempAlarmEnd,
                                       RhAlarmEnd, TestStart,      TestEnd};

void BindText(sqlite3_stmt* statement, int column, const QByteArray& text) {
    sqlite3_bind_text(statement, column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// A reading as the shortest decimal that reads back as the same 32-bit value, so that 20.1
// stays 20.1 rather than 20.100000381.
void BindFloat(sqlite3_stmt* statement, int column, const std::optional<float>& value) {
    if (!value) {
        sqlite3_bind_null(statement, column);
        return;
    }
    sqlite3_bind_double(statement, column, ShortestDouble(*value));
}

} // namespace

bool SqliteInsertRows(QSqlDatabase& db, const ArchiveRows& rows, int64_t& added, QString& failure) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        failure = "the SQLite driver gives no connection handle";
        return false;
    }
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    sqlite3_stmt* raw = nullptr;
    const char* sql =
        "INSERT INTO readings (unit, channel, time_utc, location, user_name, local_time, "
        "celsius, rh, new_sensor, temp_alarm_start, rh_alarm_start, temp_alarm_end, "
        "rh_alarm_end, test_start, test_end, gap) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) "
        "ON CONFLICT (unit, channel, time_utc) DO NOTHING";
    if (sqlite3_prepare_v2(connection, sql, -1, &raw, nullptr) != SQLITE_OK) {
        failure = QString::fromUtf8(sqlite3_errmsg(connection));
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, StatementEnd> statement(raw);
    // The columns every row of the file shares stay bound.
    BindText(raw, 1, rows.unit());
    sqlite3_bind_int(raw, 2, rows.channel());
    BindText(raw, 4, rows.location());
    BindText(raw, 5, rows.userName());
    bool ok = true;
    rows.forEach([&](const ArchiveReading& r) {
        if (!ok) return;
        BindText(raw, 3, UtcIsoText(r.utcMs));
        BindText(raw, 6, *r.localTime);
        BindFloat(raw, 7, r.celsius);
        BindFloat(raw, 8, r.rh);
        int column = 9;
        for (EventKind kind : kEventColumns)
            sqlite3_bind_int(raw, column++, r.events[kind]);
        sqlite3_bind_int(raw, 16, r.gap() ? 1 : 0);
        if (sqlite3_step(raw) != SQLITE_DONE) {
            failure = QString::fromUtf8(sqlite3_errmsg(connection));
            ok = false;
            return;
        }
        added += sqlite3_changes(connection);
        sqlite3_reset(raw);
    });
    return ok;
}

} // namespace zantrel
