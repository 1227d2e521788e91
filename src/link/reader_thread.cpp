#include "link/reader_thread.h"

#include "core/clock.h"
#include "core/handoff_queue.h"

#include <algorithm>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace zantrel {

namespace {

// The line counts as quiet after this many character times (10 bits each) without a byte...
constexpr int kQuietCharacters = 4;
// ...but never after less than this. A steady stream can pause longer than a few characters
// without having ended: the reader thread waking late on a busy machine, a pseudo-terminal
// taking a writer's bytes in pieces, a USB adapter passing bytes on in bursts. A pause mistaken
// for the end costs only an extra delivery, which the packet and header checks join to the
// rest, while the floor itself is paid once at the end of each reply.
constexpr int kQuietFloorMs = 5;

int QuietGapMs(int baud) {
    if (baud <= 0) return kQuietFloorMs;
    const int characters = (kQuietCharacters * 10 * 1000 + baud - 1) / baud;
    return std::max(kQuietFloorMs, characters);
}

} // namespace

TRead::TRead(ByteSource& source, int baud, Clock& clock, HandoffQueue& handoffs,
             std::unique_ptr<ReaderLoop> loop)
    : source_(source), clock_(clock), handoffs_(handoffs), loop_(std::move(loop)),
      quietGapMs_(QuietGapMs(baud)), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TRead::~TRead() {
    requestStop();
    if (thread_.joinable()) thread_.join();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TRead::start() {
    thread_ = std::thread([this] { loop_->Execute(*this); });
}

void TRead::requestStop() {
    stop_ = true;
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
    }
    handoffs_.wakeWaiters();
}

bool TRead::handoff(const std::function<void()>& fn) {
    return handoffs_.run(this, fn, stop_) && !stopping();
}

int TRead::read(char* buf, int maxBytes, int timeoutMs) {
    const ReadResult r = source_.read(buf, maxBytes, timeoutMs, wakeFd_, clock_, 0);
    if (r.status == ReadResult::DeviceLost) lost_ = true;
    return r.count;
}

int TRead::readUntilQuiet(char* buf, int maxBytes, int timeoutMs) {
    const ReadResult r = source_.read(buf, maxBytes, timeoutMs, wakeFd_, clock_, quietGapMs_);
    if (r.status == ReadResult::DeviceLost) lost_ = true;
    return r.count;
}

bool TRead::waitFor(int ms) {
    char drop[50];
    const double end = clock_.steadySeconds() + ms / 1000.0;
    while (!stopping() && !lost_) {
        const int remaining = static_cast<int>((end - clock_.steadySeconds()) * 1000.0 + 0.5);
        if (remaining <= 0) break;
        read(drop, sizeof drop, remaining);
    }
    return !stopping();
}

bool TRead::pause(int ms) {
    pollfd wake{wakeFd_, POLLIN, 0};
    clock_.poll(&wake, 1, ms);
    return !stopping();
}

} // namespace zantrel
