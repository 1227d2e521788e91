#include "ui/application_icon.h"

#include <array>

// The resource lives in a static library: nothing else refers to it, so it is registered by
// hand (outside any namespace, as the macro requires).
static bool RegisterIconResource() {
    Q_INIT_RESOURCE(zantrel);
    return true;
}

namespace zantrel {

QIcon ApplicationIcon() {
    static const bool registered = RegisterIconResource();
    Q_UNUSED(registered);
    QIcon icon;
    for (const int size : std::array{16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/zantrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace zantrel
