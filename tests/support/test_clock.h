#pragma once

#include "core/clock.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace zantrel {

// Virtual time for tests. sleep() advances at once; poll() waits a few real milliseconds
// for the descriptors and, when nothing arrived, lets the whole time-out pass virtually.
// Safe to use from the main thread and the reader thread at once.
class TestClock final : public Clock {
  public:
    explicit TestClock(double start = 40179.5 /* 1 January 2010 12:00 */);
    double now() const override;
    void sleep(int ms) override;
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override;

    void advanceMs(int64_t ms);
    void setNow(double dayCount);
    int64_t sleptMs() const { return slept_.load(); }

    // Runs at each sleep, before the time passes: a look at the world during a fixed wait.
    std::function<void(int ms)> onSleep;

  private:
    std::atomic<int64_t> nowMs_;
    std::atomic<int64_t> slept_{0};
};

} // namespace zantrel
