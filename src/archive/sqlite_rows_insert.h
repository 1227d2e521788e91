#pragma once

#include <QString>

#include <cstdint>

class QSqlDatabase;

namespace zantrel {

class ArchiveRows;

// Inserts a file's readings into an SQLite archive inside the transaction the caller holds,
// through SQLite's own prepared statement on the connection Qt opened: Qt's binding costs
// more per value than SQLite's whole insert. A reading the archive holds is left as it is.
// Adds the readings inserted to `added`; false with why in `failure` when it fails.
bool SqliteInsertRows(QSqlDatabase& db, const ArchiveRows& rows, int64_t& added, QString& failure);

} // namespace zantrel
