#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/headless_engine.h"

namespace zantrel {

namespace {

constexpr const char* kHelp =
    R"(Usage: zantrel-cli convert IN... --out PATH

Loads IN exactly as "Load Chart" does, then saves PATH and its encrypted duplicate
(PATH with the extension .zlx) as "Save Chart" does: in the date format IN was written
in, with the user information of USERINFO.DAT. Several files IN are loaded as one chart,
as "zantrel-cli load" does, and saved as one chart file and duplicate (in the date format
of the earliest).

Options:
  --out PATH   the chart file to write (not .zlx)
  --help       this text

Status texts and messages go to standard error. Exit status 0 only when IN was loaded
and both files were written, 1 otherwise, 2 for a usage error.
)";

int RunConvert(const QStringList& arguments, CliContext& context) {
    CommandLine line("convert", kHelp);
    line.addValueOption("out", "PATH");
    if (const auto end = line.parse(arguments, context)) return *end;
    if (line.positional().isEmpty())
        return line.usageError(context, "give one or more chart files to convert.");
    if (line.value("out").isEmpty()) return line.usageError(context, "--out PATH is required.");
    const QByteArray out = context.absolutePath(line.value("out"));
    if (const QString problem = ChartPathProblem(out); !problem.isEmpty())
        return line.usageError(context, problem);

    HeadlessEngine headless(context, "NA");
    if (!headless.loadCharts(line.positionalPaths(context))) return ExitJobFailed;
    return headless.saveChart(context.absolutePath(line.value("out"))) ? ExitSuccess
                                                                       : ExitJobFailed;
}

} // namespace

const Command kConvertCommand = {
    "convert", "load chart files and save them as one with its duplicate", RunConvert};

} // namespace zantrel
