#pragma once

#include "core/clock.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace zantrel {

// Virtual time for tests. sleep() advances at once; poll() waits a few real milliseconds
// for the descriptors and, when nothing arrived, lets the whole time-out pass virtually.
// Against a line that sends at its real speed, polls follow real time instead: a sender
// that is late by a few milliseconds must not look like a line silent for seconds.
// The wall clock is the steady time plus an offset that jumpWallMs() moves, as a clock that
// is set or a daylight-saving change moves a real one.
// Safe to use from the main thread and the reader thread at once.
class TestClock final : public Clock {
  public:
    explicit TestClock(double start = 40179.5 /* 1 January 2010 12:00 */);
    double now() const override;
    double steadySeconds() const override;
    double wallAfter(double seconds) const override;
    void sleep(int ms) override;
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override;

    // Time passes: the steady and the wall clock move on together.
    void advanceMs(int64_t ms);
    // The wall clock reads dayCount: a later one is time passing, an earlier one a clock set
    // back (the steady time stays).
    void setNow(double dayCount);
    // Only the wall clock jumps (by ms, either way); the steady time runs on.
    void jumpWallMs(int64_t ms);
    int64_t sleptMs() const { return slept_.load(); }
    // Polls wait their whole time-out really, and as much virtual time passes as real time did.
    void setRealTimePolls(bool on) { realTimePolls_ = on; }

    // Runs at each sleep, before the time passes: a look at the world during a fixed wait.
    std::function<void(int ms)> onSleep;

  private:
    std::atomic<int64_t> steadyMs_{0};
    std::atomic<int64_t> wallOffsetMs_;
    std::atomic<int64_t> slept_{0};
    std::atomic<bool> realTimePolls_{false};
};

} // namespace zantrel
