#pragma once

#include <QString>

#include <cstdint>

class QSqlDatabase;

namespace zantrel {

class ArchiveRows;

// Inserts a file's readings into a PostgreSQL archive inside the transaction the caller
// holds: COPY into a temporary table on the connection Qt opened, then one INSERT ... SELECT
// that leaves a reading the archive holds as it is. Adds the readings inserted to `added`;
// false with why in `failure` (and the server's SQLSTATE in `code`) when it fails.
bool PostgresqlCopyRows(QSqlDatabase& db, const ArchiveRows& rows, int64_t& added, QString& failure,
                        QString& code);

} // namespace zantrel
