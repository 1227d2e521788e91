#include "sim/output_queue.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace zantrel::sim {

namespace {

using namespace std::chrono;

constexpr qsizetype kPacedChunk = 16;
constexpr auto kRetryAfterFull = milliseconds(5);
// How far a paced line catches up after this thread woke up late.
constexpr auto kCatchUp = milliseconds(100);

} // namespace

void OutputQueue::push(const Reply& reply) {
    for (const Segment& s : reply.segments) {
        Entry e;
        e.bytes = s.bytes;
        e.pauseMs = s.pauseBeforeMs;
        entries_.push_back(e);
    }
    if (reply.speedAfter == 0 && !reply.closeAfter) return;
    // A reply without bytes still takes its turn behind the replies before it.
    if (reply.segments.empty()) entries_.push_back({});
    entries_.back().speedAfter = reply.speedAfter;
    entries_.back().closeAfter = reply.closeAfter;
}

int OutputQueue::waitMs(Clock::time_point now) const {
    if (entries_.empty()) return -1;
    const Entry& e = entries_.front();
    const auto due = e.armed ? std::max(e.notBefore, nextWrite_)
                             : std::max(now, nextWrite_) + milliseconds(e.pauseMs);
    if (due <= now) return 0;
    return int(ceil<milliseconds>(due - now).count());
}

OutputQueue::Progress OutputQueue::writeDue(int fd, Clock::time_point now, int baud, bool paced) {
    Progress progress;
    while (!entries_.empty()) {
        Entry& e = entries_.front();
        if (!e.armed) {
            e.armed = true;
            e.notBefore = std::max(now, nextWrite_) + milliseconds(e.pauseMs);
        }
        if (now < std::max(e.notBefore, nextWrite_)) break;
        if (e.sent < e.bytes.size()) {
            const qsizetype left = e.bytes.size() - e.sent;
            const qsizetype n = paced ? std::min(left, kPacedChunk) : left;
            const ssize_t w = ::write(fd, e.bytes.constData() + e.sent, size_t(n));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                // Full while nobody reads, or the slave side is away: try again shortly.
                e.notBefore = now + kRetryAfterFull;
                break;
            }
            progress.written += e.bytes.mid(e.sent, w);
            e.sent += w;
            if (paced) {
                // 10 bits a byte from when the line was free for these bytes: behind the bytes
                // before them, or at the end of their pause. A late wake-up of this thread is
                // caught up rather than slowing the line down.
                const auto lineFree = std::max(nextWrite_, e.notBefore);
                const auto start = now - lineFree <= kCatchUp ? lineFree : now;
                nextWrite_ = start + nanoseconds(w * 10 * 1000000000LL / std::max(baud, 300));
            }
            if (e.sent < e.bytes.size()) continue;
        }
        if (e.speedAfter != 0) progress.speed = e.speedAfter;
        const bool close = e.closeAfter;
        entries_.pop_front();
        if (close) {
            progress.close = true;
            break;
        }
    }
    return progress;
}

} // namespace zantrel::sim
