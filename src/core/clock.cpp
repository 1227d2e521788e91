#include "core/clock.h"

#include <QDateTime>
#include <QThread>
#include <cerrno>

namespace zantrel {

double RealClock::now() const {
    const QDateTime local = QDateTime::currentDateTime();
    const QDate epoch(1899, 12, 30);
    const double days = epoch.daysTo(local.date());
    return days + local.time().msecsSinceStartOfDay() / 86400000.0;
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
