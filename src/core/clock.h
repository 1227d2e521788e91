#pragma once

#include <poll.h>

namespace zantrel {

// Time source of the engine. Date-times are day counts from 30 December 1899, local time.
// The real clock sleeps and polls for real; the test clock lets fixed waits and port
// time-outs pass in virtual time so the suite costs no real seconds.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    // A fixed wait of the main thread (500 ms after emptying a series, 2000 ms before a retry...).
    virtual void sleep(int ms) = 0;
    // Waits like ::poll() for at most timeoutMs of this clock's time.
    virtual int poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
};

class RealClock final : public Clock {
  public:
    double now() const override;
    void sleep(int ms) override;
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override;
};

} // namespace zantrel
