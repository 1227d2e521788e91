#pragma once

#include "app/host.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace zantrel {

// Records every message box the engine shows; answers nothing else.
class FakeHost : public Host {
public:
    struct Message {
        QByteArray title;
        QByteArray text;
    };

    void messageBox(const QByteArray& title, const QByteArray& text) override {
        messages.append({title, text});
        if (onMessage) onMessage();
    }

    QList<Message> messages;
    std::function<void()> onMessage;
};

} // namespace zantrel
