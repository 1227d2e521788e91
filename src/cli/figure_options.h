#pragma once

#include "chart/chart_statistics.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <variant>

namespace zantrel {

class CommandLine;
struct CliContext;

// What the commands that sum up chart files share: the files, the time range, the band, the
// activation energy of the mean kinetic temperature and the delay of an excursion.
struct FigureOptions {
    QList<QByteArray> paths;
    TimeRange range;
    StatisticsOptions figures;
};

// The help lines of those options, for a command's help text.
extern const char* const kFigureOptionsHelp;

// Adds --from, --to, --low, --high, --activation-energy and --delay to line.
void AddFigureOptions(CommandLine& line);

// Adds --low, --high and --delay alone, for a command that takes a band but no range.
void AddBandOptions(CommandLine& line);
// Reads --low, --high and --delay where given into figures; the usage error they make, or an
// empty text.
QString ReadBandOptions(const CommandLine& line, StatisticsOptions& figures);

// The options as given, or the usage error they make.
std::variant<FigureOptions, QString> ReadFigureOptions(const CommandLine& line,
                                                       CliContext& context);

// A finite number of the option, or the usage error it makes; what says what it must be ("a
// number of degrees Celsius").
std::variant<double, QString> NumberOption(const CommandLine& line, const char* name,
                                           const char* what);

} // namespace zantrel
