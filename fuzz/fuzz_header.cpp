// Plays arbitrary bytes into the header record the way the reader delivers a header. The
// first byte picks the logger version (2 for version 2, anything else version 1); the rest
// is the header text.
#include "engine/engine.h"
#include "fake_host.h"
#include "test_clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

using namespace zantrel;

// One engine for the whole run, started without a port in a folder of its own.
struct Harness {
    int argc = 1;
    char name[12] = "fuzz_header";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir dir;
    TestClock clock;
    FakeHost host;
    Engine engine{clock, host};

    Harness() {
        QFile port(dir.filePath("COMPORT.DAT"));
        if (port.open(QIODevice::WriteOnly)) port.write("NA");
        port.close();
        engine.FormCreate(dir.path().toLocal8Bit(), {});
    }
};

Harness& TheHarness() {
    static Harness harness;
    return harness;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Harness& h = TheHarness();
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
