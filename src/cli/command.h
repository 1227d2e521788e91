#pragma once

#include <QStringList>

namespace zantrel {

struct CliContext;

// One command of the tool. Each lives in its own file; the tool lists them in one table.
struct Command {
    const char* name;
    const char* summary; // one line for the program's help
    int (*run)(const QStringList& arguments, CliContext& context);
};

extern const Command kUploadCommand;
extern const Command kLoadCommand;
extern const Command kConvertCommand;
extern const Command kStatsCommand;
extern const Command kReportCommand;
extern const Command kAutoCommand;
extern const Command kExportCommand;
extern const Command kArchiveCommand;

} // namespace zantrel
