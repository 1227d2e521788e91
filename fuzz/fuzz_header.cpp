// Plays arbitrary bytes into the header record the way the reader delivers a header. The
// first byte picks the logger version (2 for version 2, anything else version 1); the rest
// is the header text.
#include "core/state.h"
#include "fuzz_engine.h"

#include <cstddef>
#include <cstdint>

using namespace zantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    FuzzEngine& h = FuzzEngine::instance();
    State& state = h.engine.state();
    h.engine.ClearBuffer();
    h.host.messages.clear();
    state.Startloadingheader.tick();
    state.LoggerVersion = data[0] == 2 ? 2 : 1;
    state.Memo2.append(
        QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)));
    state.Headerloaded.tick();
    state.Memo2.append("\r\n");
    return 0;
}
