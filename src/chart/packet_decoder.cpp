#include "chart/packet_decoder.h"

#include "app/state.h"

namespace zantrel {

PacketDecoder::PacketDecoder(State& state, const HeaderValues& header, UploadBlocks& blocks,
                             ReadingsStore& readings, ChartModel& chart, FormatSettings& formats,
                             Clock& clock)
    : state_(state), header_(header), blocks_(blocks), readings_(readings), chart_(chart),
      formats_(formats), clock_(clock) {}

void PacketDecoder::Decode() {}

void PacketDecoder::RadioButton1Click() { state_.RadioButton2.setChecked(false); }

void PacketDecoder::RadioButton2Click() { state_.RadioButton1.setChecked(false); }

} // namespace zantrel
