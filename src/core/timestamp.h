#pragma once

#include "core/clock.h"
#include "core/observable.h"

#include <atomic>

namespace zantrel {

// A moment the reader thread reads while the main thread sets it (`Watchdog`): the wall
// date-time it was, to show, and the clock's steady reading, to count time-outs by.
class Timestamp : public Observable {
  public:
    // Wall date-time (day count).
    double value() const { return wall_.load(std::memory_order_acquire); }
    // Steady seconds.
    double steady() const { return steady_.load(std::memory_order_acquire); }
    // Now.
    void stamp(const Clock& clock) {
        steady_.store(clock.steadySeconds(), std::memory_order_release);
        wall_.store(clock.now(), std::memory_order_release);
        notify();
    }

  private:
    std::atomic<double> wall_{0};
    std::atomic<double> steady_{0};
};

} // namespace zantrel
