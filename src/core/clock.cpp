#include "core/clock.h"

#include "core/calendar.h"

#include <QDateTime>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <cmath>

namespace zantrel {

double LocalDayCountAfter(const QDateTime& from, double seconds) {
    return DayCountFromQDateTime(from.addMSecs(std::llround(seconds * 1000)));
}

double RealClock::now() const {
    return DayCountFromQDateTime(QDateTime::currentDateTime());
}

double RealClock::steadySeconds() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since).count();
}

double RealClock::wallAfter(double seconds) const {
    return LocalDayCountAfter(QDateTime::currentDateTime(), seconds);
}

void RealClock::sleep(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

int RealClock::poll(pollfd* fds, nfds_t count, int timeoutMs) {
    int r;
    do {
        r = ::poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace zantrel
