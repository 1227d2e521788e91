#include "cli/archive_target.h"

#include "archive/utc_offset.h"
#include "cli/cli.h"
#include "core/calendar.h"
#include "core/clock.h"

namespace zantrel {

const char* const kArchiveUrlHelp =
    R"(  URL is sqlite:/path/archive.db (a relative path is taken against the current folder)
  or postgresql://user@host[:port]/database, with ?host=/socket/folder for a Unix socket;
  the password comes from PGPASSWORD, ~/.pgpass or a service file (PGSERVICE), never from
  the command line. The tables are made when missing.
)";

std::variant<ArchiveUrl, QString> ReadArchiveUrl(const QString& text, const CliContext& context) {
    auto parsed = ParseArchiveUrl(text);
    if (ArchiveUrl* url = std::get_if<ArchiveUrl>(&parsed))
        if (url->engine == ArchiveUrl::Sqlite && !url->path.startsWith('/'))
            url->path = QString::fromLocal8Bit(context.absolutePath(url->path));
    return parsed;
}

int64_t CliNowUtcMs(const CliContext& context) {
    const double now = context.clock.now();
    return UtcEpochMs(now, UtcOffsetRule::MachineZone().secondsAt(now));
}

int CliCurrentYear(const CliContext& context) {
    const auto today = DecodeDateTime(context.clock.now());
    return today ? today->year : 2000;
}

} // namespace zantrel
