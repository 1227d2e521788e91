#pragma once

#include "core/observable.h"

#include <atomic>
#include <functional>

namespace zantrel {

// A named boolean of the session. Setting it to a new state runs its click handler at
// once, on the same thread, before the setter returns; a write that changes nothing runs
// nothing. Only the main thread writes; the reader thread may read at any time.
class Flag : public Observable {
  public:
    explicit Flag(bool initial = false) : value_(initial) {}
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

    bool checked() const { return value_.load(std::memory_order_acquire); }
    void set(bool on) {
        if (value_.exchange(on, std::memory_order_acq_rel) == on) return;
        notify();
        if (onClick) onClick();
    }
    void tick() { set(true); }
    void clear() { set(false); }

    std::function<void()> onClick;

  private:
    std::atomic<bool> value_;
};

} // namespace zantrel
