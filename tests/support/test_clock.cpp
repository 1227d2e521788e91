#include "test_clock.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace zantrel {

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr int kRealSliceMs = 5;
} // namespace

TestClock::TestClock(double start) : nowMs_(std::llround(start * kMsPerDay)) {}

double TestClock::now() const {
    return nowMs_.load() / kMsPerDay;
}

void TestClock::sleep(int ms) {
    if (ms <= 0) return;
    if (onSleep) onSleep(ms);
    nowMs_ += ms;
    slept_ += ms;
}

int TestClock::poll(pollfd* fds, nfds_t count, int timeoutMs) {
    int r;
    do {
        r = ::poll(fds, count, std::min(timeoutMs, kRealSliceMs));
    } while (r < 0 && errno == EINTR);
    if (r == 0 && timeoutMs > 0) nowMs_ += timeoutMs;
    return r;
}

void TestClock::advanceMs(int64_t ms) {
    nowMs_ += ms;
}

void TestClock::setNow(double dayCount) {
    nowMs_ = std::llround(dayCount * kMsPerDay);
}

} // namespace zantrel
