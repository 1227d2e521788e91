// A line that keeps talking during the header phase: the input is played again and again into
// the header reception, in deliveries of at most 50 bytes as the reader makes them, until the
// phase ends. It must end, as a loaded header or a header error, within the header's size
// limit; it may never run on. The first byte chooses the delivery size and how much time
// passes between deliveries; the rest is what the line sends.
#include "core/state.h"
#include "fuzz_engine.h"
#include "protocol/header_reception.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    FuzzEngine& h = FuzzEngine::instance();
    State& state = h.engine.state();
    h.engine.ClearBuffer();
    h.host.messages.clear();
    state.Startloadingheader.tick();
    HeaderReception reception(state, h.clock);

    const int piece = 1 + data[0] % 50;
    const int pauseMs = (data[0] / 50) * 200; // 0 to 1 second between deliveries
    const QByteArray line(reinterpret_cast<const char*>(data) + 1,
                          static_cast<qsizetype>(size - 1));
    qsizetype sent = 0;
    while (!state.Headerloaded.checked() && !state.Errorindata.checked()) {
        // Past the size limit by more than one delivery: the phase never ended.
        if (sent > kMaxHeaderBytes + 50) std::abort();
        // The reader reads on until it has the two bytes that tell the logger's version.
        const int wanted = state.LoggerVersion == -1 ? std::max(piece, 2) : piece;
        QByteArray delivery;
        while (delivery.size() < wanted) {
            const qsizetype at = (sent + delivery.size()) % line.size();
            delivery += line.mid(at, wanted - delivery.size());
        }
        sent += delivery.size();
        reception.receive(delivery, false);
        h.clock.advanceMs(pauseMs);
    }
    state.Startloadingheader.clear();
    return 0;
}
