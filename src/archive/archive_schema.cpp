#include "archive/archive_schema.h"

#include "archive/archive_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace zantrel {

namespace {

// The column types of the two engines: times as timestamptz in PostgreSQL, as ISO-8601 text
// in UTC ("2026-03-30T06:07:30Z") in SQLite, which sorts and compares as text.
struct Types {
    const char* time;
    const char* real;
    const char* flag;
    const char* serial;
};

constexpr Types kSqlite{"TEXT", "REAL", "INTEGER", "INTEGER PRIMARY KEY"};
constexpr Types kPostgresql{"TIMESTAMPTZ", "REAL", "BOOLEAN", "BIGSERIAL PRIMARY KEY"};

QStringList CreateStatements(const Types& t) {
    return {
        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)",
        QString("CREATE TABLE IF NOT EXISTS readings ("
                "unit TEXT NOT NULL, channel INTEGER NOT NULL, time_utc %1 NOT NULL, "
                "location TEXT NOT NULL, user_name TEXT NOT NULL, local_time TEXT NOT NULL, "
                "celsius %2, rh %2, "
                "new_sensor INTEGER NOT NULL, temp_alarm_start INTEGER NOT NULL, "
                "rh_alarm_start INTEGER NOT NULL, temp_alarm_end INTEGER NOT NULL, "
                "rh_alarm_end INTEGER NOT NULL, test_start INTEGER NOT NULL, "
                "test_end INTEGER NOT NULL, gap %3 NOT NULL, "
                "PRIMARY KEY (unit, channel, time_utc))")
            .arg(t.time, t.real, t.flag),
        "CREATE INDEX IF NOT EXISTS readings_time ON readings (time_utc)",
        QString("CREATE TABLE IF NOT EXISTS downloads (id %1, downloaded_at %2 NOT NULL, "
                "unit TEXT NOT NULL, channel INTEGER NOT NULL, first_utc %2 NOT NULL, "
                "last_utc %2 NOT NULL, readings INTEGER NOT NULL, source_file TEXT NOT NULL, "
                "encrypted %3 NOT NULL, utc_offset TEXT NOT NULL)")
            .arg(t.serial, t.time, t.flag),
    };
}

QString Failed(const QSqlQuery& query) {
    return "the archive's tables cannot be made: " + ArchiveErrorText(query.lastError());
}

} // namespace

QString PrepareArchiveSchema(ArchiveDatabase& archive) {
    QSqlDatabase& db = archive.db();
    if (!db.transaction()) return Failed(QSqlQuery(db));
    QSqlQuery q(db);
    // Writers that start at once on an empty PostgreSQL database make the tables one after
    // the other; in SQLite the write lock sees to that.
    bool ok = !archive.postgresql() || q.exec("SELECT pg_advisory_xact_lock(2026032301)");
    for (const QString& statement : CreateStatements(archive.postgresql() ? kPostgresql : kSqlite))
        ok = ok && q.exec(statement);
    if (!ok) {
        const QString failure = Failed(q);
        db.rollback();
        return failure;
    }
    ok = q.exec("SELECT max(version) FROM schema_version") && q.next();
    if (!ok) {
        const QString failure = Failed(q);
        db.rollback();
        return failure;
    }
    if (q.value(0).isNull()) {
        ok = q.exec(
            QString("INSERT INTO schema_version (version) VALUES (%1)").arg(kArchiveSchemaVersion));
    } else if (const int version = q.value(0).toInt(); version != kArchiveSchemaVersion) {
        db.rollback();
        return QString("the archive has schema version %1 and this Zantrel writes version %2; "
                       "it was left as it is")
            .arg(version)
            .arg(kArchiveSchemaVersion);
    }
    if (!ok || !db.commit()) {
        const QString failure = Failed(q);
        db.rollback();
        return failure;
    }
    return {};
}

} // namespace zantrel
