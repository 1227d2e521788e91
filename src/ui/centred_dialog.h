#pragma once

#include <QRect>
#include <optional>

class QWidget;

namespace zantrel {

// Shows a dialog with its frame centred on `area` (where it is when there is none), in
// front and with the focus.
void ShowCentred(QWidget& dialog, const std::optional<QRect>& area);

// The part of the dialog's screen that windows may use, when it has a screen.
std::optional<QRect> AvailableScreenArea(const QWidget& dialog);

} // namespace zantrel
