#include "chart/chart_statistics.h"
#include "chart/daily_figures.h"
#include "chart/event_list.h"
#include "chart/excursions.h"
#include "chart/figure_tables.h"
#include "chart/statistics_report.h"
#include "cli/cli.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/figure_options.h"
#include "cli/headless_engine.h"
#include "cli/json_text.h"
#include "core/state.h"

#include <algorithm>
#include <string>
#include <variant>

namespace zantrel {

namespace {

const std::string kHelp =
    R"(Usage: zantrel-cli stats PATH... [OPTIONS]

Loads a chart file exactly as "Load Chart" does (several as one chart, as
"zantrel-cli load" does) and prints the figures of its readings, or of those in a time
range, in degrees Celsius: readings, gaps and missing time, first and last time,
lowest and highest temperature and when, mean, standard deviation, mean kinetic
temperature, the time and share of readings below and above the limits given, and the
humidity's lowest, highest and mean when the file stores humidity. Gaps count in no figure
but their own. Missing time is the time of holes in the record (more than one and a half
storage intervals without a reading, as between files) beyond one interval. Under the
figures follow the excursions (when a limit is given) and the figures of each day.

Options:
)" + std::string(kFigureOptionsHelp) +
    R"(  --json   print one JSON object on standard output: "status", "readings", "gaps",
           "missing_hours", "from", "to", "celsius" {"min", "min_time", "max", "max_time", "mean",
           "stdev", "mkt"}, "limits" {"low", "high", "hours_below", "hours_above",
           "share_below", "share_above"} (only when a limit is given) and "rh" {"min",
           "max", "mean"} (null when the file stores no humidity), "excursions" [{"side"
           ("below" or "above"), "start", "end", "hours", "peak", "peak_time", "readings",
           "ended_by_gap"}] (only when a limit is given), "days" [{"date" ("YYYY-MM-DD"),
           "min", "min_time", "max", "max_time", "mean", "readings", "gaps",
           "hours_outside"}] and "events" [{"time", "kind" ("temp_alarm_start",
           "temp_alarm_end", "rh_alarm_start", "rh_alarm_end", "test_start", "test_end",
           "new_sensor")}]; times are local, "YYYY-MM-DDTHH:MM:SS"; a figure the range does
           not have is null
  --help   this text

A reading stands for the time to the next reading (at most one storage interval), so a
reading outside the limits counts its storage interval; a reading exactly on a limit is
inside them. An excursion is a run of readings outside one limit lasting at least the
delay: it starts at its first reading and ends when the first reading back inside was taken;
a gap or a hole in the record ends it too ("ended_by_gap"). A day's time outside counts
every reading of that day outside the limits, whatever the delay; days are the chart's
own calendar days. Status texts go to standard error, the status last. Exit status 0 only
for "File loaded.", 1 otherwise, 2 for a usage error.
)";

// A figure in the 32-bit form readings are stored in, so that it reads as they do.
void PutStored(std::string& s, const char* name, std::optional<double> value) {
    s += '"';
    s += name;
    s += "\": ";
    if (value)
        PutNumber(s, static_cast<float>(*value));
    else
        s += "null";
}

void PutTimeField(std::string& s, const char* name, double t, bool known) {
    s += '"';
    s += name;
    s += "\": ";
    if (known)
        PutTime(s, t);
    else
        s += "null";
}

void PutFigure(std::string& s, const char* name, std::optional<double> value) {
    s += '"';
    s += name;
    s += "\": ";
    if (value)
        PutNumber(s, *value);
    else
        s += "null";
}

void WriteLimits(std::string& s, const ChartStatistics& st, const StatisticsOptions& o) {
    const auto ifLow = [&o](double v) { return o.low ? std::optional(v) : std::nullopt; };
    const auto ifHigh = [&o](double v) { return o.high ? std::optional(v) : std::nullopt; };
    const bool any = st.readings > 0;
    s += ", \"limits\": {";
    PutFigure(s, "low", o.low);
    s += ", ";
    PutFigure(s, "high", o.high);
    s += ", ";
    PutFigure(s, "hours_below", ifLow(st.below.hours));
    s += ", ";
    PutFigure(s, "hours_above", ifHigh(st.above.hours));
    s += ", ";
    PutFigure(s, "share_below", any ? ifLow(st.shareBelow()) : std::nullopt);
    s += ", ";
    PutFigure(s, "share_above", any ? ifHigh(st.shareAbove()) : std::nullopt);
    s += '}';
}

void WriteHumidity(std::string& s, const ChartStatistics& st) {
    s += ", \"rh\": ";
    if (!st.hasHumidity) {
        s += "null";
        return;
    }
    const bool any = st.humidityReadings > 0;
    const auto ifAny = [any](double v) { return any ? std::optional(v) : std::nullopt; };
    s += '{';
    PutStored(s, "min", ifAny(st.humidityMinimum.value));
    s += ", ";
    PutStored(s, "max", ifAny(st.humidityMaximum.value));
    s += ", ";
    PutStored(s, "mean", ifAny(st.humidityMean));
    s += '}';
}

// "min", "min_time", "max", "max_time" and "mean" of the temperatures, null without readings.
void PutTemperatures(std::string& s, const ChartStatistics& st) {
    const bool any = st.readings > 0;
    const auto ifAny = [any](double v) { return any ? std::optional(v) : std::nullopt; };
    PutStored(s, "min", ifAny(st.minimum.value));
    s += ", ";
    PutTimeField(s, "min_time", st.minimum.time, any);
    s += ", ";
    PutStored(s, "max", ifAny(st.maximum.value));
    s += ", ";
    PutTimeField(s, "max_time", st.maximum.time, any);
    s += ", ";
    PutStored(s, "mean", ifAny(st.mean));
}

void WriteExcursions(std::string& s, const Excursions& excursions) {
    s += ", \"excursions\": [";
    const char* separator = "";
    for (const ExcursionPeriod& e : excursions.periods) {
        s += separator;
        separator = ", ";
        s += "{\"side\": ";
        s += e.side == BandSide::Below ? "\"below\"" : "\"above\"";
        s += ", ";
        PutTimeField(s, "start", e.start, true);
        s += ", ";
        PutTimeField(s, "end", e.end, true);
        s += ", ";
        PutFigure(s, "hours", e.hours);
        s += ", ";
        PutStored(s, "peak", e.peak.value);
        s += ", ";
        PutTimeField(s, "peak_time", e.peak.time, true);
        s += ", \"readings\": " + std::to_string(e.readings);
        s += e.endedByGap ? ", \"ended_by_gap\": true}" : ", \"ended_by_gap\": false}";
    }
    s += ']';
}

void WriteDays(std::string& s, const std::vector<DayFigures>& days) {
    s += ", \"days\": [";
    const char* separator = "";
    for (const DayFigures& d : days) {
        const ChartStatistics& f = d.figures;
        s += separator;
        separator = ", ";
        s += '{';
        PutField(s, "date",
                 QByteArray::number(d.year).rightJustified(4, '0') + '-' +
                     QByteArray::number(d.month).rightJustified(2, '0') + '-' +
                     QByteArray::number(d.day).rightJustified(2, '0'));
        s += ", ";
        PutTemperatures(s, f);
        s += ", \"readings\": " + std::to_string(f.readings);
        s += ", \"gaps\": " + std::to_string(f.gaps) + ", ";
        PutFigure(s, "hours_outside", d.hoursOutside());
        s += '}';
    }
    s += ']';
}

void WriteEvents(std::string& s, const std::vector<LoggerEvent>& events) {
    static constexpr const char* kKinds[EventKindCount] = {
        "new_sensor",   "temp_alarm_start", "rh_alarm_start", "temp_alarm_end",
        "rh_alarm_end", "test_start",       "test_end"};
    s += ", \"events\": [";
    const char* separator = "";
    for (const LoggerEvent& e : events) {
        s += separator;
        separator = ", ";
        s += '{';
        PutTimeField(s, "time", e.time, true);
        s += ", \"kind\": \"";
        s += kKinds[e.kind];
        s += "\"}";
    }
    s += ']';
}

// Everything the command prints, taken over the same readings.
struct StatsFigures {
    ChartStatistics statistics;
    Excursions excursions;
    std::vector<DayFigures> days;
    std::vector<LoggerEvent> events;
};

void WriteJson(std::ostream& out, const QByteArray& status, const StatsFigures& figures,
               const StatisticsOptions& o) {
    const ChartStatistics& st = figures.statistics;
    const bool any = st.readings > 0;
    const auto ifAny = [any](double v) { return any ? std::optional(v) : std::nullopt; };
    std::string s = "{";
    PutField(s, "status", status);
    s += ", \"readings\": " + std::to_string(st.readings);
    s += ", \"gaps\": " + std::to_string(st.gaps) + ", ";
    PutFigure(s, "missing_hours", st.missingHours);
    s += ", ";
    PutTimeField(s, "from", st.first, any);
    s += ", ";
    PutTimeField(s, "to", st.last, any);
    s += ", \"celsius\": {";
    PutTemperatures(s, st);
    s += ", ";
    PutStored(s, "stdev", ifAny(st.stdev));
    s += ", ";
    PutStored(s, "mkt", any ? st.mkt : std::nullopt);
    s += '}';
    if (o.low || o.high) WriteLimits(s, st, o);
    WriteHumidity(s, st);
    if (o.low || o.high) WriteExcursions(s, figures.excursions);
    WriteDays(s, figures.days);
    WriteEvents(s, figures.events);
    s += "}\n";
    out << s << std::flush;
}

// A table under its title, each column as wide as its widest cell, two blanks between them.
void PutTable(std::string& s, const char* title, const FigureTable& table) {
    s += '\n';
    s += title;
    if (table.rows.isEmpty()) {
        s += ": none\n";
        return;
    }
    s += ":\n";
    QList<qsizetype> widths;
    for (const QByteArray& column : table.columns)
        widths.append(column.size());
    for (const QList<QByteArray>& row : table.rows)
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    const auto putRow = [&](const QList<QByteArray>& cells) {
        QByteArray line;
        for (qsizetype i = 0; i < cells.size(); ++i)
            line += i + 1 < cells.size() ? cells[i].leftJustified(widths[i] + 2) : cells[i];
        s += line.toStdString() + '\n';
    };
    putRow(table.columns);
    for (const QList<QByteArray>& row : table.rows)
        putRow(row);
}

void WriteText(std::ostream& out, const StatsFigures& figures, const StatisticsOptions& o,
               const QByteArray& datePattern) {
    std::string s;
    for (const StatisticsLine& line : StatisticsLines(figures.statistics, o, false, datePattern))
        s += line.label.toStdString() + ": " + line.value.toStdString() + "\n";
    if (o.low || o.high)
        PutTable(s, "Excursions", ExcursionTable(figures.excursions, false, datePattern));
    PutTable(s, "Days", DailyTable(figures.days, false, datePattern));
    out << s << std::flush;
}

int RunStats(const QStringList& arguments, CliContext& context) {
    CommandLine line("stats", kHelp.c_str());
    AddFigureOptions(line);
    line.addFlag("json");
    if (const auto end = line.parse(arguments, context)) return *end;
    const auto read = ReadFigureOptions(line, context);
    if (const QString* error = std::get_if<QString>(&read)) return line.usageError(context, *error);
    const FigureOptions& o = std::get<FigureOptions>(read);

    HeadlessEngine headless(context, "NA");
    const bool loaded = headless.loadCharts(o.paths);
    StatisticsOptions figures = o.figures;
    figures.humidity = headless.state().RHZL.checked();
    const ReadingsStore& store = headless.engine().readings();
    const StatsFigures all{ComputeChartStatistics(store, o.range, figures),
                           FindExcursions(store, o.range, figures, figures.delayMinutes),
                           ComputeDailyFigures(store, o.range, figures),
                           ListEvents(store, o.range)};
    if (line.isSet("json"))
        WriteJson(context.out, headless.status(), all, o.figures);
    else if (loaded)
        WriteText(context.out, all, o.figures, headless.state().DATEFORMAT.text());
    return loaded ? ExitSuccess : ExitJobFailed;
}

} // namespace

const Command kStatsCommand = {
    "stats", "load chart files and print their statistics (MKT, limits) in Celsius", RunStats};

} // namespace zantrel
