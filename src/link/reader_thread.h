#pragma once

#include "link/byte_source.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace zantrel {

class Clock;
class HandoffQueue;
class TRead;

// What the reader thread runs: the part that knows what the bytes mean. Execute runs on the
// reader thread and returns when the reader is to end (a stop request, a lost device).
class ReaderLoop {
  public:
    virtual ~ReaderLoop() = default;
    virtual void Execute(TRead& reader) = 0;
};

// The reader thread of an open port: blocking reads with their time-out, waits, and hand-offs
// (functions the main thread runs while the reader waits). A stop request is noticed at once:
// a blocked read or hand-off wait returns, a pending hand-off is cancelled, and the thread ends
// without touching the port again.
class TRead {
  public:
    // baud is the speed the port was opened at; it sets the quiet gap.
    TRead(ByteSource& source, int baud, Clock& clock, HandoffQueue& handoffs,
          std::unique_ptr<ReaderLoop> loop);
    // Stops the thread and joins it.
    ~TRead();
    TRead(const TRead&) = delete;
    TRead& operator=(const TRead&) = delete;

    void start();
    void requestStop();

    // Reads up to maxBytes into buf, returning when they have all arrived, timeoutMs after the
    // read began, on a stop request or when the device is gone. Returns the bytes read.
    int read(char* buf, int maxBytes, int timeoutMs);
    // Like read(), but once bytes have arrived it also returns when the line has then stayed
    // quiet for a few character times at the port's speed (at least a few milliseconds): the
    // end of what the logger sent is handed over at once rather than after the time-out.
    int readUntilQuiet(char* buf, int maxBytes, int timeoutMs);
    // Reads and drops what arrives for ms; false when a stop was requested meanwhile.
    bool waitFor(int ms);
    // Waits ms without touching the port (a lost one, say); false on a stop request.
    bool pause(int ms);
    // Runs fn on the main thread and waits for it; false when the reader is to end.
    bool handoff(const std::function<void()>& fn);
    bool stopping() const { return stop_.load(); }
    // The device went away during a read.
    bool lost() const { return lost_; }

  private:
    ByteSource& source_;
    Clock& clock_;
    HandoffQueue& handoffs_;
    std::unique_ptr<ReaderLoop> loop_;
    const int quietGapMs_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wakeFd_ = -1;
    bool lost_ = false;
};

} // namespace zantrel
