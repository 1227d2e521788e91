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

// The core of the engine-level harnesses: an engine connected through a real pseudo-terminal
// to a simulated logger, on virtual time, over a settings folder that outlives restarts of the
// engine. Records every status text the engine shows.
class LoggerHarness {
  public:
    LoggerHarness(const sim::LoggerConfig& config, double clockStart);
    ~LoggerHarness();
    LoggerHarness(const LoggerHarness&) = delete;
    LoggerHarness& operator=(const LoggerHarness&) = delete;

    Engine& engine() { return *engine_; }
    State& state() { return engine_->state(); }
    sim::LoggerSimulator& logger() { return *logger_; }
    TestClock& clock() { return clock_; }
    FakeHost& host() { return host_; }
    WorkDir& dir() { return dir_; }

    // Runs the event loop until the condition holds; false after timeoutMs of real time.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 30000);
    bool waitForStatus(const QByteArray& status, int timeoutMs = 30000);
    // The upload controls are back to idle.
    bool idle() const;

    // Status texts since the engine started, in order, without repeats of the same text.
    const QByteArrayList& statuses() const { return statuses_; }
    // Bytes of every command the current logger received, and of its block requests.
    QByteArrayList commandBytes() const;
    QByteArrayList blockRequests() const;

  protected:
    // Starts the logger unless it runs already.
    void startLogger();
    // A fresh engine started on port; wire runs before its start-up.
    Engine& startEngine(const QByteArray& port, const std::function<void(Engine&)>& wire = {});

    WorkDir dir_;
    TestClock clock_;
    FakeHost host_;
    std::unique_ptr<sim::LoggerSimulator> logger_;
    std::unique_ptr<Engine> engine_;

  private:
    QByteArrayList statuses_;
};

} // namespace zantrel
