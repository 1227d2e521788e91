#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events sent straight to a widget, as a user's press, moves and release would arrive.
inline void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, pos, w->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

inline void Drag(QWidget* w, Qt::MouseButton button, QPoint from, QPoint to) {
    SendMouse(w, QEvent::MouseButtonPress, button, from);
    SendMouse(w, QEvent::MouseMove, button, (from + to) / 2);
    SendMouse(w, QEvent::MouseMove, button, to);
    SendMouse(w, QEvent::MouseButtonRelease, button, to);
}
