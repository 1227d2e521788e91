#include "protocol/packet_decoder.h"

#include "core/channel_header.h"
#include "core/clock.h"
#include "core/sample_rate.h"
#include "core/state.h"
#include "protocol/packet_commit.h"
#include "protocol/packet_conversion.h"
#include "protocol/packet_parser.h"
#include "protocol/packet_stage.h"
#include "protocol/upload_blocks.h"

namespace zantrel {

PacketDecoder::PacketDecoder(State& state, const HeaderValues& header, UploadBlocks& blocks,
                             ReadingsStore& readings, ChartModel& chart, Clock& clock)
    : state_(state), header_(header), blocks_(blocks), readings_(readings), chart_(chart),
      clock_(clock) {}

PacketLayout PacketDecoder::layout() const {
    return PacketLayout::make(state_.LoggerVersion == 1, header_.SampleHexDigits,
                              state_.RhHexDigits, state_.RHZL.checked(), blocks_.BlockCount);
}

ReadingConverter PacketDecoder::converter() const {
    const ChannelHeader& channel = header_.channel(state_.channel1Selected());
    return state_.LoggerVersion == 1 ? ReadingConverter::forOlderChannel(channel)
                                     : ReadingConverter::forSensor(channel.Sensors[0]);
}

StampRule PacketDecoder::stampRule() const {
    bool ok = false;
    const double rate = state_.Samplesperhour.text().toDouble(&ok);
    StampRule rule;
    rule.rangeStart = PickerDateTime(state_.Startdate, state_.Starttime);
    rule.interval = ok ? IntervalFromSamplesPerHour(rate) : 0;
    rule.storedReadings = readings_.Temperatures.size();
    return rule;
}

void PacketDecoder::decode() {
    // A packet already rejected waits for its retry, which empties the slot first.
    if (!state_.Startloadingdata.checked() || state_.WaitingForAck.checked() ||
        state_.Errorindata.checked())
        return;
    const QByteArray text = state_.Memo5.text();
    if (text.isEmpty()) return;
    const PacketLayout packetLayout = layout();
    if (!LooksComplete(text, packetLayout)) return;
    // Event records make a packet longer than its block count says: until the whole packet is
    // here the data phase stays on and the next append tries again.
    const std::optional<ParsedPacket> packet = ParsePacket(text, packetLayout);
    if (!packet) return;

    state_.Startloadingdata.clear();
    if (!packetLayout.version1 && !packet->checksumMatches) {
        reject(*packet);
        return;
    }
    state_.Memo1.clear();
    const PacketStage stage = PacketStage::from(*packet, converter(), stampRule());
    if (!packet->records.empty()) blocks_.BlockStart = stage.lastStamp;
    CommitPacket(stage, readings_, chart_, state_.TempInF.checked());
    state_.Edit1.setText("Checksum verified.");
    state_.Memo1.setText("<>");
}

// The packet's readings and events are dropped; the reader sees the data phase with an error
// and requests the same block again, or gives up after its third retry.
void PacketDecoder::reject(const ParsedPacket& packet) {
    state_.Edit1.setText("BAD CHECKSUM (" + QByteArray::number(packet.sum) + "<>" +
                         packet.checksumText + ")...PLEASE WAIT...");
    state_.Startloadingdata.tick();
    state_.Errorindata.tick();
    clock_.sleep(100);
}

} // namespace zantrel
