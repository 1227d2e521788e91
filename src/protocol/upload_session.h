#pragma once

namespace zantrel {

class Clock;
class Host;
class SerialLink;
class PacketDecoder;
struct State;
struct HeaderValues;
struct UploadBlocks;
struct ReadingsStore;
struct ChartModel;
struct FormatSettings;

// One upload from "Upload Data" to "DATA LOADED", a cancellation or an abort: every
// command sent to the logger, the acknowledgements awaited, the block arithmetic and the
// status texts.
class UploadSession {
public:
    UploadSession(State& state, HeaderValues& header, UploadBlocks& blocks,
                  ReadingsStore& readings, ChartModel& chart, SerialLink& link,
                  PacketDecoder& decoder, FormatSettings& formats, Clock& clock);

    void UploadDataClick();
    void AbortUploadClick();
    void upload_range_groupClick();
    void Memo1Change();
    void Memo5Change();
    void StartloadingdataClick();
    // Builds and sends the request of the current block (also used by the reader's retry).
    void RequestBlock();

private:
    State& state_;
    HeaderValues& header_;
    UploadBlocks& blocks_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    SerialLink& link_;
    PacketDecoder& decoder_;
    FormatSettings& formats_;
    Clock& clock_;
};

} // namespace zantrel
