#pragma once

#include "core/observable.h"

#include <atomic>

namespace zantrel {

// A date-time value the reader thread reads while the main thread sets it (`Watchdog`).
class Timestamp : public Observable {
  public:
    double value() const { return value_.load(std::memory_order_acquire); }
    void set(double t) {
        value_.store(t, std::memory_order_release);
        notify();
    }

  private:
    std::atomic<double> value_{0};
};

} // namespace zantrel
