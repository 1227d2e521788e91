#pragma once

#include "archive/archive_url.h"

#include <QString>

#include <variant>

namespace zantrel {

struct CliContext;

// The help lines of the archive URL's forms, for a command's help text.
extern const char* const kArchiveUrlHelp;

// The archive an option names, a relative SQLite path taken against the context's folder;
// or why the text names none.
std::variant<ArchiveUrl, QString> ReadArchiveUrl(const QString& text, const CliContext& context);

// When now is as milliseconds since 1970 in UTC, by the context's clock in this machine's zone.
int64_t CliNowUtcMs(const CliContext& context);
// The current year by the context's clock, which places two-digit years.
int CliCurrentYear(const CliContext& context);

} // namespace zantrel
