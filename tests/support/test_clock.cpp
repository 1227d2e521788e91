#include "test_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>

namespace zantrel {

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr int kRealSliceMs = 5;
} // namespace

TestClock::TestClock(double start) : wallOffsetMs_(std::llround(start * kMsPerDay)) {}

double TestClock::now() const {
    return (steadyMs_.load() + wallOffsetMs_.load()) / kMsPerDay;
}

double TestClock::steadySeconds() const {
    return steadyMs_.load() / 1000.0;
}

double TestClock::wallAfter(double seconds) const {
    return now() + seconds / 86400.0;
}

void TestClock::sleep(int ms) {
    if (ms <= 0) return;
    if (onSleep) onSleep(ms);
    steadyMs_ += ms;
    slept_ += ms;
}

int TestClock::poll(pollfd* fds, nfds_t count, int timeoutMs) {
    int r;
    if (realTimePolls_) {
        const auto start = std::chrono::steady_clock::now();
        do {
            r = ::poll(fds, count, timeoutMs);
        } while (r < 0 && errno == EINTR);
        steadyMs_ += std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
        return r;
    }
    do {
        r = ::poll(fds, count, std::min(timeoutMs, kRealSliceMs));
    } while (r < 0 && errno == EINTR);
    if (r == 0 && timeoutMs > 0) steadyMs_ += timeoutMs;
    return r;
}

void TestClock::advanceMs(int64_t ms) {
    steadyMs_ += ms;
}

void TestClock::setNow(double dayCount) {
    const int64_t delta = std::llround(dayCount * kMsPerDay) - (steadyMs_ + wallOffsetMs_);
    if (delta > 0)
        steadyMs_ += delta;
    else
        wallOffsetMs_ += delta;
}

void TestClock::jumpWallMs(int64_t ms) {
    wallOffsetMs_ += ms;
}

} // namespace zantrel
