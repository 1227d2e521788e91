#include "protocol/upload_session.h"

#include "chart/packet_decoder.h"

namespace zantrel {

UploadSession::UploadSession(State& state, HeaderValues& header, UploadBlocks& blocks,
                             ReadingsStore& readings, ChartModel& chart, SerialLink& link,
                             PacketDecoder& decoder, FormatSettings& formats, Clock& clock)
    : state_(state), header_(header), blocks_(blocks), readings_(readings), chart_(chart),
      link_(link), decoder_(decoder), formats_(formats), clock_(clock) {}

void UploadSession::UploadDataClick() {}
void UploadSession::AbortUploadClick() {}
void UploadSession::upload_range_groupClick() {}
void UploadSession::Memo1Change() {}
void UploadSession::Memo5Change() { decoder_.Decode(); }
void UploadSession::StartloadingdataClick() {}
void UploadSession::RequestBlock() {}

} // namespace zantrel
