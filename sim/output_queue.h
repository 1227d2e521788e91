#pragma once

#include "sim/logger_behaviour.h"

#include <QByteArray>

#include <chrono>
#include <deque>

namespace zantrel::sim {

// The bytes the logger still has to send, in order, with the pauses of split replies and,
// when paced, no faster than the wire speed (baud / 10 bytes per second).
class OutputQueue {
  public:
    using Clock = std::chrono::steady_clock;

    struct Progress {
        QByteArray written;
        int speed = 0;      // the logger's new speed, 0 when unchanged
        bool close = false; // a reply that ends in the logger vanishing was sent
    };

    void push(const Reply& reply);
    void clear() { entries_.clear(); }
    // Milliseconds until something can be written; -1 when nothing waits.
    int waitMs(Clock::time_point now) const;
    Progress writeDue(int fd, Clock::time_point now, int baud, bool paced);

  private:
    struct Entry {
        QByteArray bytes;
        qsizetype sent = 0;
        int pauseMs = 0;
        bool armed = false; // its pause has begun
        Clock::time_point notBefore;
        int speedAfter = 0;
        bool closeAfter = false;
    };

    std::deque<Entry> entries_;
    Clock::time_point nextWrite_; // pacing: the wire is busy until then
};

} // namespace zantrel::sim
