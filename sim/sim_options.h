#pragma once

#include "sim/logger_config.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace zantrel::sim {

// The command line of zantrel-sim.
struct SimOptions {
    LoggerConfig config;
    bool help = false;
    bool version = false;
    bool verbose = false; // report every command received
    QString helpText;
};

// Reads zantrel-sim's arguments (the first is the program). `now` places the newest reading
// when no first reading time is given. nullopt, with a message naming the culprit, when the
// arguments are wrong.
std::optional<SimOptions> parseSimOptions(const QStringList& arguments, const QDateTime& now,
                                          QString* error);

} // namespace zantrel::sim
