#pragma once

// For widget tests only (needs QtWidgets).

#include "engine/engine.h"
#include "started_window.h"

#include <QFile>
#include <QMenu>

namespace zantrel {

// The whole content of a file, or "<missing>" when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A caption as it reads on screen: the mnemonic marker "&" left out, "&&" read as "&".
inline QString Shown(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

// The key a caption's mnemonic marker gives it, or a null character.
inline QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

// The first object of type T below root, at any depth, showing the text.
template <typename T> T* ByText(const QObject* root, const QString& text) {
    for (T* child : root->findChildren<T*>())
        if (Shown(child->text()) == text) return child;
    return nullptr;
}

inline QMenu* MenuTitled(const QObject* root, const QString& title) {
    for (QMenu* menu : root->findChildren<QMenu*>())
        if (Shown(menu->title()) == title) return menu;
    return nullptr;
}

// A started window with short ways into its engine and its settings folder.
struct GuiWindow : StartedWindow {
    using StartedWindow::StartedWindow;
    State& state() { return form->engine().state(); }
    ChartModel& chart() { return form->engine().chart(); }
    QByteArray settingsFile(const char* name) { return ReadFile(dir.filePath(name)); }
    template <typename T> T* find(const char* name) { return form->findChild<T*>(name); }
};

} // namespace zantrel
