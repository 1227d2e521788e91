// A full logger (21,000 temperature and humidity readings, 14 blocks) uploaded as
// `zantrel-cli upload` does, on the real clock, through a pseudo-terminal against the simulated
// logger: once unpaced and once paced at the line's speed (19200 baud for the header, 57600 for
// the data). Prints the wall time of the upload, the time its bytes need on the wire and the
// ratio of the two, and how much of the wall time the engine's fixed waits take.
#include "bench_measure.h"
#include "chart/readings_store.h"
#include "cli/cli.h"
#include "cli/headless_engine.h"
#include "core/clock.h"
#include "core/state.h"
#include "core/text_slot.h"
#include "sim/logger_simulator.h"
#include "work_dir.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdio>
#include <sstream>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr int kReadings = 21000;
constexpr int kPeriodSeconds = 60;

sim::LoggerConfig Logger(bool paced) {
    sim::LoggerConfig config;
    config.version = 2;
    config.paced = paced;
    for (auto& channel : config.channels) {
        channel.kind = sim::ChannelKind::TemperatureRh;
        channel.readingCount = kReadings;
        channel.storagePeriodSeconds = kPeriodSeconds;
        channel.firstReading = sim::wallTime(2026, 1, 1);
    }
    return config;
}

// The real clock, adding up the fixed waits of the engine (port, request and retry waits).
class CountingClock final : public Clock {
  public:
    double now() const override { return real_.now(); }
    double steadySeconds() const override { return real_.steadySeconds(); }
    double wallAfter(double seconds) const override { return real_.wallAfter(seconds); }
    void sleep(int ms) override {
        slept_ += ms;
        real_.sleep(ms);
    }
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        return real_.poll(fds, count, timeoutMs);
    }
    int64_t sleptMs() const { return slept_.load(); }

  private:
    RealClock real_;
    std::atomic<int64_t> slept_{0};
};

// What the program sent: 10 bits a byte at the speed the line had for each command.
double ReceivedWireSeconds(const sim::LoggerSimulator& logger) {
    double seconds = 0;
    for (const sim::Command& c : logger.commands())
        seconds += c.bytes.size() * 10.0 / c.lineBaud;
    return seconds;
}

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void Measure(const char* name, bool paced) {
    std::printf("%s\n", name);
    sim::LoggerSimulator logger(Logger(paced));
    QString error;
    if (!logger.start(&error)) {
        std::printf("  the simulator did not start: %s\n", qPrintable(error));
        return;
    }
    WorkDir dir;
    CountingClock clock;
    std::ostringstream out, err;
    CliContext context{clock, dir.path(), out, err, nullptr};
    // Declared before the engine, which keeps the status listener that uses them.
    Steady::time_point start;
    double loadedMs = 0;
    HeadlessEngine headless(context, logger.devicePath().toLocal8Bit());
    logger.clearRecords();

    const double cpuBefore = ProcessCpuMs();
    const int64_t sleptBefore = clock.sleptMs();
    start = Steady::now();
    TextSlot& status = headless.state().Edit1;
    status.subscribe([&] {
        if (status.text() == "DATA LOADED") loadedMs = MsSince(start);
    });
    const bool loaded = headless.upload();
    const double wallMs = MsSince(start);
    const double cpuMs = ProcessCpuMs() - cpuBefore;
    const double sleptMs = double(clock.sleptMs() - sleptBefore);

    const size_t readings = headless.engine().readings().Temperatures.size();
    if (!loaded || readings != size_t(kReadings)) {
        std::printf("  the upload did not complete: \"%s\", %zu of %d readings\n",
                    headless.status().constData(), readings, kReadings);
        return;
    }
    int blocks = 0;
    for (const sim::Command& c : logger.commands())
        blocks += c.kind == sim::CommandKind::BlockRequest;
    const double wireMs = (logger.sentWireSeconds() + ReceivedWireSeconds(logger)) * 1000;
    std::printf("  readings        %zu (T+RH), %d block requests, %lld bytes from the logger\n",
                readings, blocks, static_cast<long long>(logger.sent().size()));
    std::printf("  wall time       %.0f ms (\"Upload Data\" to idle, the port back at 19200)\n",
                wallMs);
    std::printf("  wire time       %.0f ms (10 bits a byte both ways, at the line's speed)\n",
                wireMs);
    std::printf("  ratio           %.2f (wall / wire)\n", wallMs / wireMs);
    std::printf("  to DATA LOADED  %.0f ms, ratio %.2f (before the switch back to 19200)\n",
                loadedMs, loadedMs / wireMs);
    std::printf("  fixed waits     %.0f ms (the engine's port and request waits)\n", sleptMs);
    std::printf("  the rest        %.0f ms (wall time less the fixed waits)\n", wallMs - sleptMs);
    std::printf("  processor time  %.0f ms (this process: engine, reader and simulator)\n\n",
                cpuMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("Upload of a full logger (%d readings, version 2, fast rate 57600) as "
                "zantrel-cli does it, on the real clock\n\n",
                kReadings);
    Measure("Unpaced (the simulator sends as fast as the pseudo-terminal takes it)", false);
    Measure("Paced (the simulator sends 10 bits a byte at the line's speed)", true);
    return 0;
}
