#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zantrel {

// What the engine asks of the world around it: modal message boxes and dialogs, and
// repainting. The window implements it with real dialogs; tests and the command-line
// tool give scripted answers. Every call may run a nested event loop, so the engine
// holds reader hand-offs while one is open (see HandoffQueue).
class Host {
public:
    virtual ~Host() = default;
    // A modal box with an OK button.
    virtual void messageBox(const QByteArray& title, const QByteArray& text) = 0;
    // Paint the window now (status texts that must show before a long step).
    virtual void repaint() {}
};

} // namespace zantrel
