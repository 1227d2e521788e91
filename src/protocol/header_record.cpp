#include "protocol/header_record.h"

#include "protocol/channel_header.h"

namespace zantrel {

HeaderRecord::HeaderRecord(State& state, HeaderValues& header, FormatSettings& formats,
                           Clock& clock)
    : state_(state), header_(header), formats_(formats), clock_(clock) {}

void HeaderRecord::Memo2Change() {}

void HeaderRecord::reset() {
    for (auto& channel : header_.Channels) channel.resetCounters();
}

} // namespace zantrel
