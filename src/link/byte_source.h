#pragma once

namespace zantrel {

class Clock;

// Outcome of ByteSource::read. The first `count` bytes of the buffer are valid whatever the
// status; `err` is the errno that ended the read when the device is gone (0 otherwise, and
// for a hang-up, which has none).
struct ReadResult {
    enum Status {
        Ok,        // all requested bytes arrived
        TimedOut,  // the time-out passed first
        Quiet,     // bytes arrived, then the line stayed quiet for the gap asked for
        Woken,     // the wake descriptor became readable (a stop request); the port was left alone
        DeviceLost // the device is gone (unplugged, hung up, pseudo-terminal master closed)
    };
    int count = 0;
    Status status = Ok;
    int err = 0;
};

// Where the reader thread's bytes come from: the serial port, or a script in tests.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to maxBytes into buf. Returns when they have all arrived, timeoutMs of the
    // clock's time after it began, at once when wakeFd (may be -1) is readable, or when the
    // device is gone; with quietMs above 0 also once bytes have arrived and then none for
    // quietMs. wakeFd is only watched, never drained.
    virtual ReadResult read(char* buf, int maxBytes, int timeoutMs, int wakeFd, Clock& clock,
                            int quietMs) = 0;
};

} // namespace zantrel
