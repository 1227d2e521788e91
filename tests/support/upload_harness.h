#pragma once

#include "engine/engine.h"
#include "fake_host.h"
#include "sim/logger_simulator.h"
#include "test_clock.h"
#include "work_dir.h"

#include <QByteArrayList>
#include <functional>
#include <memory>

namespace zantrel {

// An engine connected through a real pseudo-terminal to a simulated logger, on virtual
// time. Records every status text the engine shows.
class UploadHarness {
  public:
    explicit UploadHarness(const sim::LoggerConfig& config);
    ~UploadHarness();

    // Starts the logger and the engine on the logger's device; `portTail` is appended to
    // the device path (":38400", for example).
    Engine& start(const QByteArray& portTail = {});

    Engine& engine() { return *engine_; }
    State& state() { return engine_->state(); }
    sim::LoggerSimulator& logger() { return *logger_; }
    TestClock& clock() { return clock_; }
    FakeHost& host() { return host_; }
    WorkDir& dir() { return dir_; }
    QByteArray port() const;

    // Presses "Upload Data" for a channel.
    void upload(int channel = 1);
    // Runs the event loop until the condition holds; false after timeoutMs of real time.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);
    bool waitForStatus(const QByteArray& status, int timeoutMs = 20000);
    // The upload controls are back to idle.
    bool idle() const;

    // Every status text shown since start, in order, without repeats of the same text.
    const QByteArrayList& statuses() const { return statuses_; }
    // The block requests the logger received, exactly as sent.
    QByteArrayList blockRequests() const;
    QByteArrayList commandBytes() const;

  private:
    WorkDir dir_;
    TestClock clock_;
    FakeHost host_;
    std::unique_ptr<sim::LoggerSimulator> logger_;
    std::unique_ptr<Engine> engine_;
    QByteArrayList statuses_;
};

} // namespace zantrel
