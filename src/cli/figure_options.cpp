#include "cli/figure_options.h"

#include "cli/cli.h"
#include "cli/command_line.h"

#include <cmath>

namespace zantrel {

const char* const kFigureOptionsHelp =
    R"(  --from "MM/DD/YY HH:MM:SS"   first time of the range (default: the first reading)
  --to "MM/DD/YY HH:MM:SS"     last time of the range (default: the last reading)
  --low C                      lower limit in degrees Celsius
  --high C                     upper limit in degrees Celsius
  --activation-energy KJ_PER_MOL
                               of the mean kinetic temperature (default 83.144)
  --delay MINUTES              how long readings must stay outside the limits to make an
                               excursion (default 0: every run outside is one)
)";

void AddBandOptions(CommandLine& line) {
    for (const char* name : {"low", "high", "delay"})
        line.addValueOption(name, "value");
}

void AddFigureOptions(CommandLine& line) {
    for (const char* name : {"from", "to", "low", "high", "activation-energy", "delay"})
        line.addValueOption(name, "value");
}

std::variant<double, QString> NumberOption(const CommandLine& line, const char* name,
                                           const char* what) {
    bool ok = false;
    const double value = line.value(name).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return QString("--%1 must be %2, not '%3'.").arg(name, what, line.value(name));
    return value;
}

QString ReadBandOptions(const CommandLine& line, StatisticsOptions& figures) {
    for (const char* limit : {"low", "high"}) {
        if (!line.isSet(limit)) continue;
        const auto value = NumberOption(line, limit, "a number of degrees Celsius");
        if (const QString* error = std::get_if<QString>(&value)) return *error;
        (QByteArray(limit) == "low" ? figures.low : figures.high) = std::get<double>(value);
    }
    if (figures.low && figures.high && *figures.low > *figures.high)
        return QString("--low must not be above --high.");
    if (line.isSet("delay")) {
        const auto value = NumberOption(line, "delay", "a number of minutes, 0 or more");
        if (const QString* error = std::get_if<QString>(&value)) return *error;
        if (std::get<double>(value) < 0)
            return "--delay must be a number of minutes, 0 or more, not '" + line.value("delay") +
                   "'.";
        figures.delayMinutes = std::get<double>(value);
    }
    return {};
}

std::variant<FigureOptions, QString> ReadFigureOptions(const CommandLine& line,
                                                       CliContext& context) {
    FigureOptions o;
    if (line.positional().isEmpty()) return QString("give one or more chart files.");
    o.paths = line.positionalPaths(context);
    for (const char* bound : {"from", "to"}) {
        if (!line.isSet(bound)) continue;
        const auto t = ParseRangeTime(line.value(bound), context.clock);
        if (!t)
            return QString("--%1 must read \"MM/DD/YY HH:MM:SS\", not '%2'.")
                .arg(bound, line.value(bound));
        (QByteArray(bound) == "from" ? o.range.from : o.range.to) = *t;
    }
    if (o.range.from > o.range.to) return QString("--from must not be after --to.");
    if (const QString error = ReadBandOptions(line, o.figures); !error.isEmpty()) return error;
    if (line.isSet("activation-energy")) {
        const auto value = NumberOption(line, "activation-energy", "a positive number of kJ/mol");
        if (const QString* error = std::get_if<QString>(&value)) return *error;
        if (std::get<double>(value) <= 0)
            return "--activation-energy must be a positive number of kJ/mol, not '" +
                   line.value("activation-energy") + "'.";
        o.figures.activationEnergy = std::get<double>(value);
    }
    return o;
}

} // namespace zantrel
