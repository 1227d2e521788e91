#include "event_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace zantrel {

bool WaitForEvents(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(1);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

} // namespace zantrel
