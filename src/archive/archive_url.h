#pragma once

#include <QString>

#include <variant>

namespace zantrel {

// Where the archive lives: an SQLite file ("sqlite:/path/archive.db") or a PostgreSQL
// database ("postgresql://user@host:port/db", "postgresql://user@/db?host=/run/postgresql"
// for a Unix socket folder). A password never comes with the URL: libpq reads PGPASSWORD,
// ~/.pgpass or the service file itself.
struct ArchiveUrl {
    enum Engine { Sqlite, Postgresql };
    Engine engine = Sqlite;
    QString path;     // SQLite: the database file
    QString user;     // PostgreSQL: empty for libpq's default
    QString host;     // a host name, or a socket folder starting with '/'; empty for the default
    int port = -1;    // -1 for the default
    QString database; // empty for libpq's default
    QString text;     // the URL as given, for messages
};

// The URL's parts, or why it is not one: the message names the URL and the forms accepted.
std::variant<ArchiveUrl, QString> ParseArchiveUrl(const QString& text);

} // namespace zantrel
