#pragma once

#include <QString>

namespace zantrel {

class ArchiveDatabase;

// The version of the archive's tables this program writes.
inline constexpr int kArchiveSchemaVersion = 1;

// Creates the archive's tables where they are missing: readings, downloads and the schema
// version. Refuses an archive of another version, leaving it as it is. Empty when the
// archive is ready to be written; otherwise why not.
QString PrepareArchiveSchema(ArchiveDatabase& archive);

} // namespace zantrel
