#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/figure_options.h"
#include "cli/headless_engine.h"
#include "report/compliance_report.h"

#include <string>
#include <variant>

namespace zantrel {

namespace {

const std::string kHelp =
    R"(Usage: zantrel-cli report PATH... --out FILE.pdf [OPTIONS]

Loads chart files exactly as "zantrel-cli stats" does and writes the compliance report of
their readings, or of those in a time range, as one PDF: the ZL ID, user name and location,
software version, period, the source files and whether every one was an encrypted duplicate,
and when the report was made; the chart of the period with the limits drawn as lines and the
excursions shaded; the statistics, with the mean kinetic temperature's activation energy and
window; the excursions; the alarm periods and the logger's events; the figures of each day;
the readings expected from the period and the storage interval against those present; and
the review: the reviewer's name, the date and time and the meaning when --reviewer is given,
else lines to fill in and sign by hand. Every page says "Page n of m". A month of readings
every 15 seconds takes 3 pages (the figures of each day, never every reading) as long as
its excursions, alarm periods and events make no more than about 40 rows. The figures are
those "zantrel-cli stats" prints for the same options. Needs no display.

Options:
  --out FILE.pdf               the report to write (required); written only when complete
)" + std::string(kFigureOptionsHelp) +
    R"(  --unit C|F                   temperatures in the report in Celsius (default) or
                               Fahrenheit; the limits are given in Celsius either way
  --reviewer NAME              who reviewed the record, printed in the review block
  --meaning TEXT               what the review means ("Reviewed and approved"); needs
                               --reviewer
  --help   this text

Status texts go to standard error, the status last. Exit status 0 only when the report was
written, 1 when a file did not load or the report could not be written (no report is left
then), 2 for a usage error.
)";

struct ReportCommandOptions {
    FigureOptions figures;
    QByteArray out;
    ReportOptions report;
};

std::variant<ReportCommandOptions, QString> ReadOptions(const CommandLine& line,
                                                        CliContext& context) {
    const auto figures = ReadFigureOptions(line, context);
    if (const QString* error = std::get_if<QString>(&figures)) return *error;
    ReportCommandOptions o;
    o.figures = std::get<FigureOptions>(figures);
    if (!line.isSet("out") || line.value("out").isEmpty())
        return QString("give the report's file with --out FILE.pdf.");
    o.out = context.absolutePath(line.value("out"));
    const QString unit = line.isSet("unit") ? line.value("unit") : QString("C");
    if (unit != "C" && unit != "F") return QString("--unit must be C or F, not '%1'.").arg(unit);
    if (line.isSet("meaning") && line.value("reviewer").isEmpty())
        return QString("--meaning needs --reviewer.");
    o.report.range = o.figures.range;
    o.report.figures = o.figures.figures;
    o.report.fahrenheit = unit == "F";
    o.report.reviewer = line.value("reviewer").trimmed();
    o.report.meaning = line.value("meaning").trimmed();
    return o;
}

int RunReport(const QStringList& arguments, CliContext& context) {
    CommandLine line("report", kHelp.c_str());
    AddFigureOptions(line);
    for (const char* name : {"out", "unit", "reviewer", "meaning"})
        line.addValueOption(name, "value");
    if (const auto end = line.parse(arguments, context)) return *end;
    const auto read = ReadOptions(line, context);
    if (const QString* error = std::get_if<QString>(&read)) return line.usageError(context, *error);
    const ReportCommandOptions& o = std::get<ReportCommandOptions>(read);

    HeadlessEngine headless(context, "NA");
    if (!headless.loadCharts(o.figures.paths)) {
        context.err << "No report written." << std::endl;
        return ExitJobFailed;
    }
    const QString path = QString::fromLocal8Bit(o.out);
    const QString failure = WriteComplianceReportPdf(headless.engine(), o.report, path);
    if (!failure.isEmpty()) {
        context.err << failure.toStdString() << std::endl;
        return ExitJobFailed;
    }
    context.err << "Report written: " << path.toStdString() << std::endl;
    return ExitSuccess;
}

} // namespace

const Command kReportCommand = {
    "report", "load chart files and write their compliance report as a PDF", RunReport};

} // namespace zantrel
