#include "cli/chart_report.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/headless_engine.h"

namespace zantrel {

namespace {

constexpr const char* kHelp =
    R"(Usage: zantrel-cli load PATH... [--json]

Loads a chart file exactly as "Load Chart" does: in practice its encrypted duplicate
(.zlx), whose scrambled lines are the only ones data is taken from. Several files (a
month's pieces: T1202612site*.z?l) load as one chart, merged by time: a reading held by
several files counts once; readings that differ at one time, humidity in some files only
and files of different ZL units refuse the load, as does any file that does not load.

Options:
  --json   print the chart as one JSON object on standard output: "status",
           "date_format", "samples_per_hour", "rh", "encrypted", "user" {"name",
           "location", "id", "software"}, "readings" [{"time", "celsius", "rh"}] and
           "events" {"new_sensor", "temp_alarm_start", "rh_alarm_start",
           "temp_alarm_end", "rh_alarm_end", "test_start", "test_end"} and "files" (the
           files loaded, in the order merged); times are local, "YYYY-MM-DDTHH:MM:SS";
           "rh" is null when the file stores no humidity
  --help   this text

Without --json a short summary goes to standard output: rows, time span, lowest and
highest temperature (and humidity). Status texts go to standard error, the status last.
Exit status 0 only for "File loaded.", 1 otherwise, 2 for a usage error.
)";

int RunLoad(const QStringList& arguments, CliContext& context) {
    CommandLine line("load", kHelp);
    line.addFlag("json");
    if (const auto end = line.parse(arguments, context)) return *end;
    if (line.positional().isEmpty())
        return line.usageError(context, "give one or more chart files to load.");

    HeadlessEngine headless(context, "NA");
    const bool loaded = headless.loadCharts(line.positionalPaths(context));
    if (line.isSet("json"))
        WriteChartJson(context.out, headless.engine());
    else if (loaded)
        WriteChartSummary(context.out, headless.engine());
    return loaded ? ExitSuccess : ExitJobFailed;
}

} // namespace

const Command kLoadCommand = {"load", "load chart files and print them as JSON or a summary",
                              RunLoad};

} // namespace zantrel
