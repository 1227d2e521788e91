#pragma once

#include "sim/logger_config.h"
#include "sim/stored_channel.h"

#include <QByteArray>

#include <array>

namespace zantrel::sim {

// The header a logger sends in answer to "?".
//
// Version 2: "001", channel 1's block, "002", channel 2's block, every line ended by CR LF; a
// channel without data is the single line "No data".
// Version 1: "<1>" ended by LF alone, twelve fields of channel 1, "2", twelve fields of
// channel 2, each ended by CR LF (26 line feeds); the RH model adds twelve lines about its
// humidity sensor (38 line feeds).
QByteArray headerText(const LoggerConfig& config, const std::array<StoredChannel, 2>& memory);

} // namespace zantrel::sim
