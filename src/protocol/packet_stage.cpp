#include "protocol/packet_stage.h"

#include "protocol/packet_conversion.h"
#include "protocol/packet_parser.h"

namespace zantrel {

PacketStage PacketStage::from(const ParsedPacket& packet, const ReadingConverter& converter,
                              const StampRule& stamps) {
    PacketStage stage;
    stage.times.reserve(packet.readings);
    stage.temperatures.reserve(packet.readings);
    for (const PacketRecord& record : packet.records) {
        const std::size_t index = stamps.storedReadings + stage.temperatures.size();
        const double stamp = stamps.rangeStart + static_cast<double>(index) * stamps.interval;
        stage.lastStamp = stamp;
        if (record.kind == RecordKind::Event) {
            stage.events[record.event].push_back(stamp);
            continue;
        }
        const bool gap = record.kind == RecordKind::Gap;
        stage.temperatures.push_back(gap ? NoReading : converter.celsius(record.raw));
        stage.times.push_back(stamp);
        if (record.humidity >= 0)
            stage.humidities.push_back(gap ? NoReading : static_cast<float>(record.humidity));
    }
    return stage;
}

} // namespace zantrel
