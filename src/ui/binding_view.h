#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QWidget;

namespace zantrel {

class Control;
class TextSlot;

// Widgets follow the engine's controls and slots; they are never the source of truth.
// Every binding applies the state once and again after each change. A user action writes
// the control and then re-applies it, so a widget that toggled itself shows the control's
// value again when the control did not change.

inline QString Latin1(const QByteArray& text) {
    return QString::fromLatin1(text);
}
// A caption for buttons and menu items: "&" shows as itself, not as a mnemonic. A given
// mnemonic marks the first occurrence of that character (either case) as the item's key;
// the caption's text stays what it was.
QString Caption(const QByteArray& text, QChar mnemonic = {});
QString Caption(const QString& text, QChar mnemonic = {});

// Enabled and visible.
void BindEnabledVisible(QWidget* widget, Control& control);
// Caption, enabled, visible and checked; clicks are left to the caller.
void BindButton(QAbstractButton* button, Control& control);
// As BindButton, and a user toggle sets the control's checked state, then runs onClick.
void BindCheckBox(QAbstractButton* box, Control& control, std::function<void()> onClick = {});
// Text (with its mnemonic), enabled, visible and checked of a menu item; triggers are left
// to the caller.
void BindAction(QAction* action, Control& control, QChar mnemonic = {});
// Text, enabled and visible; the user's typing sets the control's text, then runs onChange.
void BindLineEdit(QLineEdit* edit, Control& control, std::function<void()> onChange = {});
// Text and visible.
void BindLabel(QLabel* label, Control& control);
// Shows the slot's text in a read-only field, from its beginning, whole in the field's tip.
void BindSlotText(QLineEdit* edit, TextSlot& slot);

} // namespace zantrel
