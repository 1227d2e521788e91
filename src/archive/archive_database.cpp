#include "archive/archive_database.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace zantrel {

namespace {

QString NewConnectionName() {
    static std::atomic<unsigned> next{0};
    return QString("zantrel-archive-%1").arg(next++);
}

} // namespace

QString ArchiveErrorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    return text.simplified();
}

ArchiveDatabase::ArchiveDatabase(const ArchiveUrl& url) : url_(url), name_(NewConnectionName()) {
    const bool pg = postgresql();
    const char* driver = pg ? "QPSQL" : "QSQLITE";
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        failure_ = QString("the Qt SQL driver %1 is not installed (Debian: %2)")
                       .arg(driver, pg ? "libqt6sql6-psql" : "libqt6sql6-sqlite");
        return;
    }
    db_ = QSqlDatabase::addDatabase(driver, name_);
    if (pg) {
        if (!url.host.isEmpty()) db_.setHostName(url.host);
        if (url.port > 0) db_.setPort(url.port);
        if (!url.user.isEmpty()) db_.setUserName(url.user);
        db_.setDatabaseName(url.database);
        db_.setConnectOptions("connect_timeout=10;application_name=zantrel");
    } else {
        // SQLite would create a file in a folder that is not there as a failure of its own.
        if (!QFileInfo(QFileInfo(url.path).absolutePath()).isDir()) {
            failure_ = QString("the folder of %1 does not exist").arg(url.path);
            return;
        }
        db_.setDatabaseName(url.path);
        db_.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    }
    if (!db_.open()) {
        failure_ = ArchiveErrorText(db_.lastError());
        return;
    }
    if (pg) {
        // "relation already exists, skipping" and the like are no news to anyone.
        QSqlQuery(db_).exec("SET client_min_messages TO warning");
    } else {
        QSqlQuery wal(db_);
        if (!wal.exec("PRAGMA journal_mode=WAL") || !wal.next() ||
            wal.value(0).toString().toLower() != "wal")
            failure_ =
                "the SQLite file does not take WAL mode: " + ArchiveErrorText(wal.lastError());
        // SQLite's advice for WAL: a commit no longer waits for the disk, and a power cut can
        // at worst undo the last commits, which the next download catches up from the
        // monthly files; the file itself stays sound.
        QSqlQuery(db_).exec("PRAGMA synchronous=NORMAL");
    }
}

ArchiveDatabase::~ArchiveDatabase() {
    if (db_.isValid()) db_.close();
    db_ = QSqlDatabase();
    if (QSqlDatabase::contains(name_)) QSqlDatabase::removeDatabase(name_);
}

} // namespace zantrel
