// Whole unpaced uploads of 100,000 temperature and humidity readings through the engine, its
// reader thread and a pseudo-terminal against the simulated logger, on virtual time: at the
// normal rate only (port tail ":19200") and with the switch to the fast rate, a few runs each.
#include "bench_measure.h"
#include "chart/readings_store.h"
#include "core/state.h"
#include "core/text_slot.h"
#include "engine/engine.h"
#include "fake_host.h"
#include "protocol/upload_session.h"
#include "sim/logger_simulator.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr int kReadings = 100000;
constexpr int kPeriodSeconds = 15;
constexpr int kTimeoutMs = 20000;
constexpr int kRuns = 5;

// The test clock, counting the port waits that found nothing: each lets its whole time-out
// pass virtually, but only after a short real wait, which the figures take out again.
class CountingClock final : public Clock {
  public:
    explicit CountingClock(double start) : inner_(start) {}
    double now() const override { return inner_.now(); }
    double steadySeconds() const override { return inner_.steadySeconds(); }
    double wallAfter(double seconds) const override { return inner_.wallAfter(seconds); }
    void sleep(int ms) override { inner_.sleep(ms); }
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        const auto start = Steady::now();
        const int ready = inner_.poll(fds, count, timeoutMs);
        if (ready == 0 && timeoutMs > 0) {
            ++emptyWaits_;
            emptyRealUs_ +=
                std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - start)
                    .count();
            emptyVirtualMs_ += timeoutMs; // the test clock lets the whole time-out pass
        }
        return ready;
    }

    int64_t sleptMs() const { return inner_.sleptMs(); }
    int64_t emptyWaits() const { return emptyWaits_; }
    double emptyRealMs() const { return emptyRealUs_ / 1000.0; }
    int64_t emptyVirtualMs() const { return emptyVirtualMs_; }

  private:
    TestClock inner_;
    std::atomic<int64_t> emptyWaits_{0};
    std::atomic<int64_t> emptyRealUs_{0};
    std::atomic<int64_t> emptyVirtualMs_{0};
};

sim::LoggerConfig Logger() {
    sim::LoggerConfig config;
    config.version = 2;
    config.paced = false;
    for (auto& channel : config.channels) {
        channel.kind = sim::ChannelKind::TemperatureRh;
        channel.readingCount = kReadings;
        channel.storagePeriodSeconds = kPeriodSeconds;
        channel.firstReading = sim::wallTime(2009, 12, 30, 8, 0, 0);
    }
    return config;
}

bool Finished(const QByteArray& status) {
    return status == "DATA LOADED" || status.startsWith("UPLOAD CANCELLED") ||
           status.startsWith("SERIAL COMMUNICATION TIMED OUT");
}

// Presses "Upload Data" for channel 1 and runs the event loop until the status says the
// upload ended. The listener stays with the engine, so what it uses is shared with it.
bool RunUpload(Engine& engine) {
    struct Wait {
        QEventLoop loop;
        bool finished = false;
    };
    const auto wait = std::make_shared<Wait>();
    TextSlot& status = engine.state().Edit1;
    status.subscribe([wait, &status] {
        if (wait->finished || !Finished(status.text())) return;
        wait->finished = true;
        wait->loop.quit();
    });
    QTimer::singleShot(kTimeoutMs, &wait->loop, &QEventLoop::quit);
    engine.state().RadioButton1.setChecked(true);
    engine.state().RadioButton2.setChecked(false);
    engine.session().UploadDataClick();
    if (!wait->finished) wait->loop.exec();
    return wait->finished;
}

int BlockRequests(const sim::LoggerSimulator& logger) {
    int count = 0;
    for (const auto& c : logger.commands())
        count += c.kind == sim::CommandKind::BlockRequest;
    return count;
}

struct Run {
    bool complete = false;
    QByteArray status;
    size_t readings = 0;
    int blocks = 0;
    double wallMs = 0;
    double sleptMs = 0;
    int64_t emptyWaits = 0;
    double emptyRealMs = 0;
    double emptyVirtualMs = 0;
};

Run Upload(const QByteArray& portTail) {
    const sim::LoggerConfig config = Logger();
    WorkDir dir;
    CountingClock clock(sim::dayCount(config.channels[0].firstReading) + 30);
    FakeHost host;
    sim::LoggerSimulator logger(config);
    Run run;
    QString error;
    if (!logger.start(&error)) {
        run.status = "the simulator did not start: " + error.toLocal8Bit();
        return run;
    }
    auto engine = std::make_unique<Engine>(clock, host);
    engine->FormCreate(dir.path(), {}, logger.devicePath().toLocal8Bit() + portTail);

    const int64_t sleptBefore = clock.sleptMs();
    const int64_t emptyBefore = clock.emptyWaits();
    const double emptyRealBefore = clock.emptyRealMs();
    const int64_t emptyVirtualBefore = clock.emptyVirtualMs();
    const auto start = Steady::now();
    const bool finished = RunUpload(*engine);
    run.wallMs = Ms(Steady::now() - start);

    run.sleptMs = double(clock.sleptMs() - sleptBefore);
    run.emptyWaits = clock.emptyWaits() - emptyBefore;
    run.emptyRealMs = clock.emptyRealMs() - emptyRealBefore;
    run.emptyVirtualMs = double(clock.emptyVirtualMs() - emptyVirtualBefore);
    run.readings = engine->readings().Temperatures.size();
    run.blocks = BlockRequests(logger);
    run.status = engine->state().Edit1.text();
    run.complete = finished && run.status == "DATA LOADED" && run.readings == size_t(kReadings);
    engine.reset();
    logger.stop();
    return run;
}

void Print(const Run& r, double fastestMs, double slowestMs) {
    const double workMs = r.wallMs - r.emptyRealMs;
    std::printf("  readings                 %zu (T+RH, %d s storage), %d block requests\n",
                r.readings, kPeriodSeconds, r.blocks);
    std::printf("  wall time                %.0f ms (median of %d runs, %.0f to %.0f)\n", r.wallMs,
                kRuns, fastestMs, slowestMs);
    std::printf("  fixed waits              %.0f ms of virtual time slept by the engine's clock "
                "(no real time)\n",
                r.sleptMs);
    std::printf("  read time-outs           %lld port waits found nothing: %.0f ms of virtual "
                "time, %.0f ms real in the test clock's short waits\n",
                static_cast<long long>(r.emptyWaits), r.emptyVirtualMs, r.emptyRealMs);
    std::printf("  beyond the fixed waits   %.0f ms wall: engine, reader, pseudo-terminal and "
                "simulator (wall time less the test clock's short waits; its sleeps cost no "
                "real time)\n",
                workMs);
    std::printf("  per block                %.2f ms wall, %.2f ms beyond the waits\n",
                r.wallMs / r.blocks, workMs / r.blocks);
    std::printf("  readings per second      %.0f (wall), %.0f (beyond the waits)\n",
                r.readings / (r.wallMs / 1000), r.readings / (workMs / 1000));
    std::printf("  on a real clock          about %.1f s: work + fixed waits + read time-outs "
                "(the line unpaced, as here)\n",
                (workMs + r.sleptMs + r.emptyVirtualMs) / 1000);
}

// Several uploads; the figures of the one with the median wall time.
void Measure(const char* name, const QByteArray& portTail) {
    std::printf("%s\n", name);
    std::vector<Run> runs;
    for (int i = 0; i < kRuns; ++i) {
        runs.push_back(Upload(portTail));
        if (!runs.back().complete) {
            std::printf("  the upload did not complete: \"%s\", %zu of %d readings\n",
                        runs.back().status.constData(), runs.back().readings, kReadings);
            return;
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.wallMs < b.wallMs; });
    Print(runs[runs.size() / 2], runs.front().wallMs, runs.back().wallMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("Unpaced upload of %d readings, version 2, through a pseudo-terminal, on the "
                "test clock\n\n",
                kReadings);
    Measure("Normal rate only (port tail \":19200\")", ":19200");
    Measure("Fast session (switch to 57600 baud)", {});
    return 0;
}
