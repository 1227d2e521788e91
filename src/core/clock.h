#pragma once

#include <poll.h>

class QDateTime;

namespace zantrel {

// Time source of the engine. Date-times are day counts from 30 December 1899, local time:
// that wall clock is what is shown and stored, and it jumps when it is set or at a daylight-
// saving change. Time-outs, waits and the download schedule run on the steady reading, which
// only ever runs on. The real clock sleeps and polls for real; the test clock lets fixed waits
// and port time-outs pass in virtual time so the suite costs no real seconds.
class Clock {
  public:
    virtual ~Clock() = default;
    // The wall clock: local date-time as a day count.
    virtual double now() const = 0;
    // Seconds on a clock that no setting or daylight-saving change moves; its zero means nothing.
    virtual double steadySeconds() const = 0;
    // The local date-time (day count) that `seconds` of real time from now will bring.
    virtual double wallAfter(double seconds) const = 0;
    // A fixed wait of the main thread (500 ms after emptying a series, 2000 ms before a retry...).
    virtual void sleep(int ms) = 0;
    // Waits like ::poll() for at most timeoutMs of this clock's time.
    virtual int poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
};

class RealClock final : public Clock {
  public:
    double now() const override;
    double steadySeconds() const override;
    double wallAfter(double seconds) const override;
    void sleep(int ms) override;
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override;
};

// The date-time, as a day count in the time zone of `from`, that `seconds` of real time after
// `from` brings: across a daylight-saving change not the day count of `from` plus the interval.
double LocalDayCountAfter(const QDateTime& from, double seconds);

} // namespace zantrel
