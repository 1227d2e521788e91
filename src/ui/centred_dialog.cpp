#include "ui/centred_dialog.h"

#include <QScreen>
#include <QWidget>

namespace zantrel {

void ShowCentred(QWidget& dialog, const std::optional<QRect>& area) {
    if (area) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(area->center());
        dialog.move(frame.topLeft());
    }
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

std::optional<QRect> AvailableScreenArea(const QWidget& dialog) {
    if (const QScreen* screen = dialog.screen()) return screen->availableGeometry();
    return std::nullopt;
}

} // namespace zantrel
