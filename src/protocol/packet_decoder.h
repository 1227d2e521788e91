#pragma once

namespace zantrel {

class Clock;
struct State;
struct HeaderValues;
struct UploadBlocks;
struct ReadingsStore;
struct ChartModel;
struct ParsedPacket;
struct PacketLayout;
struct StampRule;
class ReadingConverter;

// Decodes the data packet collected in the packet slot: waits for a complete packet,
// converts and time-stamps its records, verifies the checksum, commits the readings to the
// store, draws them and signals the block loop.
class PacketDecoder {
  public:
    PacketDecoder(State& state, const HeaderValues& header, UploadBlocks& blocks,
                  ReadingsStore& readings, ChartModel& chart, Clock& clock);

    // The decoding part of Memo5Change, after the acknowledgement checks.
    void decode();

  private:
    PacketLayout layout() const;
    ReadingConverter converter() const;
    StampRule stampRule() const;
    void reject(const ParsedPacket& packet);

    State& state_;
    const HeaderValues& header_;
    UploadBlocks& blocks_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    Clock& clock_;
};

} // namespace zantrel
