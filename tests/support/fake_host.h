#pragma once

#include "core/host.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

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

    std::optional<QByteArray> saveFileDialog() override {
        ++saveDialogs;
        return savePath;
    }
    std::optional<QByteArray> openFileDialog() override {
        ++openDialogs;
        return openPath;
    }
    // The dialog for several files picks openPath alone, or cancels.
    QList<QByteArray> openFilesDialog() override {
        ++openDialogs;
        return openPath ? QList<QByteArray>{*openPath} : QList<QByteArray>{};
    }
    bool printDialog() override { return printAccepted; }
    void printChart() override {
        ++prints;
        if (onPrint) onPrint();
    }
    void setTrayTip(const QByteArray& text) override { trayTip = text; }

    QList<Message> messages;
    std::function<void()> onMessage;
    // Scripted answers of the dialogs.
    std::optional<QByteArray> savePath;
    std::optional<QByteArray> openPath;
    bool printAccepted = false;
    int saveDialogs = 0;
    int openDialogs = 0;
    int prints = 0;
    std::function<void()> onPrint;
    // The tray icon's tip as last set.
    QByteArray trayTip;
};

} // namespace zantrel
