#include "archive/chart_export.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/utc_offset_options.h"
#include "core/calendar.h"
#include "core/clock.h"

#include <string>
#include <variant>

namespace zantrel {

namespace {

const std::string kHelp =
    R"(Usage: zantrel-cli export FILE... --format csv|influx|xlsx --out PATH [OPTIONS]

Writes the readings of chart files, each read on its own (never merged), into one file for
other tools: the files' readings one after the other, every reading with its time in UTC.
A file's times are the logger's own clock and turn into UTC under one offset for the whole
file, so readings stay evenly spaced across a clock change.

Formats:
  csv     long CSV (RFC 4180, lines end in CR LF): the header
          time_utc,local_time,unit,location,channel,celsius,rh,gap and one row per reading;
          time_utc is ISO-8601 ending in Z, local_time as the chart file writes it; celsius
          is empty for a gap, rh empty for a gap or without humidity; gap is 1 or 0
  influx  InfluxDB line protocol: measurement zantrel, tags channel, location and unit,
          fields celsius and rh as floats, nanosecond UTC timestamps; a gap has no line
  xlsx    an Excel workbook: the columns of the CSV under a frozen header row, time_utc and
          local_time as date cells

Options:
  --format csv|influx|xlsx     the form to write (required)
  --out PATH                   the file to write (required), written only when complete;
                               "-" writes csv or influx to standard output
)" + std::string(kUtcOffsetOptionsHelp) +
    R"(  --help   this text

What was written goes to standard error. Exit status 0 when the export was written, 1 when a
file did not load or the export could not be written (no file is left then), 2 for a usage
error.
)";

struct ExportOptions {
    QList<QByteArray> paths;
    ExportFormat format = ExportFormat::Csv;
    QByteArray out; // empty for standard output
    QString shownOut;
};

std::variant<ExportOptions, QString> ReadOptions(const CommandLine& line,
                                                 const CliContext& context) {
    ExportOptions o;
    if (line.positional().isEmpty()) return QString("give one or more chart files.");
    o.paths = line.positionalPaths(context);
    if (!line.isSet("format")) return QString("give the form with --format csv, influx or xlsx.");
    const auto format = ExportFormatNamed(line.value("format"));
    if (!format)
        return QString("--format must be csv, influx or xlsx, not '%1'.").arg(line.value("format"));
    o.format = *format;
    if (!line.isSet("out") || line.value("out").isEmpty())
        return QString("give the file to write with --out PATH (\"-\" for standard output).");
    o.shownOut = line.value("out");
    if (o.shownOut == "-") {
        if (!ExportIsText(o.format))
            return QString("an xlsx workbook cannot go to standard output; give a file.");
        o.shownOut = "standard output";
    } else {
        o.out = context.absolutePath(line.value("out"));
    }
    return o;
}

int CurrentYear(const Clock& clock) {
    const auto today = DecodeDateTime(clock.now());
    return today ? today->year : 2000;
}

int RunExport(const QStringList& arguments, CliContext& context) {
    CommandLine line("export", kHelp.c_str());
    line.addValueOption("format", "format");
    line.addValueOption("out", "path");
    AddUtcOffsetOptions(line);
    if (const auto end = line.parse(arguments, context)) return *end;
    const auto read = ReadOptions(line, context);
    if (const QString* error = std::get_if<QString>(&read)) return line.usageError(context, *error);
    const ExportOptions& o = std::get<ExportOptions>(read);
    const auto rule = ReadUtcOffsetOptions(line);
    if (const QString* error = std::get_if<QString>(&rule)) return line.usageError(context, *error);

    const ExportSources sources(o.paths, CurrentYear(context.clock), std::get<UtcOffsetRule>(rule));
    if (!sources.failure().isEmpty()) {
        context.err << sources.failure().toStdString() << "\nNothing exported." << std::endl;
        return ExitJobFailed;
    }
    const ExportOutcome outcome = o.out.isEmpty()
                                      ? ExportToStream(sources.files(), o.format, context.out)
                                      : ExportToFile(sources.files(), o.format, o.out);
    if (!outcome.ok()) {
        context.err << outcome.failure.toStdString() << "\nNothing exported." << std::endl;
        return ExitJobFailed;
    }
    context.err << ExportedText(outcome, o.format, o.shownOut).toStdString() << std::endl;
    return ExitSuccess;
}

} // namespace

const Command kExportCommand = {
    "export", "write chart files' readings as long CSV, line protocol or an Excel workbook",
    RunExport};

} // namespace zantrel
