#pragma once

#include "chart/readings_store.h"

#include <array>
#include <cstddef>
#include <vector>

namespace zantrel {

struct ParsedPacket;
class ReadingConverter;

// How readings are time-stamped: the reading with index i in the whole upload gets
// rangeStart + i * interval.
struct StampRule {
    double rangeStart = 0;
    double interval = 0;
    std::size_t storedReadings = 0; // readings already in the store before this packet
};

// The results of one packet, held apart until the packet has passed its checksum: the same
// members as the readings store.
struct PacketStage {
    std::vector<double> times;
    std::vector<float> temperatures;
    std::vector<float> humidities; // empty when the humidity field is not read
    std::array<std::vector<double>, EventKindCount> events;
    double lastStamp = 0; // the time stamp of the last record (an event's is the next reading's)

    // Converts and time-stamps the records. A gap is a reading with NoReading; an event record
    // adds only its time, the time the next reading will get.
    static PacketStage from(const ParsedPacket& packet, const ReadingConverter& converter,
                            const StampRule& stamps);
};

} // namespace zantrel
