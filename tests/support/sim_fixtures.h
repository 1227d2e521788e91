#pragma once

// Loggers and byte strings that the simulator's own tests share.

#include "sim/logger_config.h"

#include <QByteArray>

#include <initializer_list>

namespace zantrel::sim {

// Wire bytes written as numbers: zeros, codes above 0x7F and printable characters alike.
inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

// Both channels store 4000 temperatures, every 15 seconds from 1 January 2010. Readings 0..2
// are 20 C and reading 3 is 21.4375 C: in version 2 raw 0F00 and 0F5C, whose low byte is a
// backslash.
inline LoggerConfig fourThousand(int version = 2) {
    LoggerConfig config;
    config.version = version;
    for (ChannelConfig& c : config.channels) {
        c.readingCount = 4000;
        c.storagePeriodSeconds = 15;
        c.celsius = {20, 20, 20, 21.4375};
    }
    return config;
}

} // namespace zantrel::sim
