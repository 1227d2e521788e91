#pragma once

#include <QIcon>

namespace zantrel {

// The icon drawn for Zantrel, in every size the desktop asks for. The window, the About box
// and the desktop entry all show this one icon.
QIcon ApplicationIcon();

} // namespace zantrel
