#include "cli/utc_offset_options.h"

#include "cli/command_line.h"

namespace zantrel {

const char* const kUtcOffsetOptionsHelp =
    R"(  --time-zone AREA/CITY        the zone whose offset at a file's first reading turns
                               its times into UTC (default: this machine's time zone)
  --utc-offset +HH:MM          one fixed offset for every file instead
)";

void AddUtcOffsetOptions(CommandLine& line) {
    line.addValueOption("time-zone", "zone");
    line.addValueOption("utc-offset", "offset");
}

std::variant<UtcOffsetRule, QString> ReadUtcOffsetOptions(const CommandLine& line) {
    const bool zone = line.isSet("time-zone");
    const bool fixed = line.isSet("utc-offset");
    if (zone && fixed) return QString("give --time-zone or --utc-offset, not both.");
    if (zone) {
        if (auto rule = UtcOffsetRule::Zone(line.value("time-zone").toUtf8())) return *rule;
        return QString("--time-zone must name a time zone such as Europe/Berlin, not '%1'.")
            .arg(line.value("time-zone"));
    }
    if (fixed) {
        if (auto rule = UtcOffsetRule::Fixed(line.value("utc-offset").toUtf8())) return *rule;
        return QString("--utc-offset must read +HH:MM or -HH:MM, not '%1'.")
            .arg(line.value("utc-offset"));
    }
    return UtcOffsetRule::MachineZone();
}

} // namespace zantrel
