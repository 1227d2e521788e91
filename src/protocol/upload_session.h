#pragma once

#include <QByteArray>
#include <functional>

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
    UploadSession(State& state, HeaderValues& header, UploadBlocks& blocks, ReadingsStore& readings,
                  ChartModel& chart, SerialLink& link, PacketDecoder& decoder,
                  FormatSettings& formats, Clock& clock, Host& host);

    void UploadDataClick();
    void AbortUploadClick();
    void upload_range_groupClick();
    void Memo1Change();
    void Memo5Change();
    void StartloadingdataClick();
    // Builds and sends the request of the current block.
    void requestBlock();
    // The reader's retry after a corrupt block: the same block again, at the speed the
    // session already runs at.
    void repeatBlock();

    // The reset to idle, run at the start of every session.
    std::function<void()> ClearBuffer;

  private:
    void nextBlock();
    void completeUpload();
    void endFastSession();
    void speedAcknowledged();
    void blockAcknowledged();
    void startDataPhase();
    void send(const QByteArray& bytes);
    double rangeStart() const;
    double rangeEnd() const;
    double readingInterval() const;
    static double wholeSecond(double t);
    int readingsSoFar() const;

    State& state_;
    HeaderValues& header_;
    UploadBlocks& blocks_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    SerialLink& link_;
    PacketDecoder& decoder_;
    FormatSettings& formats_;
    Clock& clock_;
    Host& host_;
};

// The count field of a block request: a "0" for each of 1, 10, ... 100000 that the count
// is below, then the count (123 -> "000123", 0 -> "0000000").
QByteArray BlockCountField(int count);

} // namespace zantrel
