#include "link/reader_thread.h"

#include "core/clock.h"
#include "core/handoff_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace zantrel {

TRead::TRead(SerialPort& port, Clock& clock, HandoffQueue& handoffs,
             std::unique_ptr<ReaderLoop> loop)
    : port_(port), clock_(clock), handoffs_(handoffs), loop_(std::move(loop)),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

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
    const ReadResult r = port_.read(buf, maxBytes, timeoutMs, wakeFd_, clock_);
    if (r.status == ReadResult::DeviceLost) lost_ = true;
    return r.count;
}

bool TRead::waitFor(int ms) {
    char drop[50];
    const double end = clock_.now() + ms / 86400000.0;
    while (!stopping() && !lost_) {
        const int remaining = static_cast<int>((end - clock_.now()) * 86400000.0 + 0.5);
        if (remaining <= 0) break;
        read(drop, sizeof drop, remaining);
    }
    return !stopping();
}

} // namespace zantrel
