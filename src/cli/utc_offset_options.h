#pragma once

#include "archive/utc_offset.h"

#include <QString>
#include <variant>

namespace zantrel {

class CommandLine;

// The help lines of --time-zone and --utc-offset, for a command's help text.
extern const char* const kUtcOffsetOptionsHelp;

void AddUtcOffsetOptions(CommandLine& line);

// How the files' times become UTC (the machine's time zone unless an option says otherwise),
// or the usage error the options make.
std::variant<UtcOffsetRule, QString> ReadUtcOffsetOptions(const CommandLine& line);

} // namespace zantrel
