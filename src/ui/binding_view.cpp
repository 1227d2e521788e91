#include "ui/binding_view.h"

#include "core/control.h"
#include "core/text_slot.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace zantrel {

namespace {

// Runs apply now and after every change of the observable, for as long as the widget lives.
template <typename W, typename O, typename F> void Follow(W* widget, O& observable, F apply) {
    QPointer<W> guard(widget);
    auto run = [guard, &observable, apply] {
        if (guard) apply(guard.data(), observable);
    };
    run();
    observable.subscribe(run);
}

void ApplyEnabledVisible(QWidget* w, const Control& c) {
    w->setEnabled(c.enabled());
    w->setVisible(c.visible());
}

void ApplyButton(QAbstractButton* b, const Control& c) {
    b->setText(Caption(c.text()));
    b->setChecked(c.checked());
    ApplyEnabledVisible(b, c);
}

} // namespace

QString Caption(const QByteArray& text, QChar mnemonic) {
    return Caption(Latin1(text), mnemonic);
}

QString Caption(const QString& text, QChar mnemonic) {
    QString caption = text;
    caption.replace('&', "&&");
    if (mnemonic.isNull()) return caption;
    qsizetype at = caption.indexOf(mnemonic);
    if (at < 0) at = caption.indexOf(mnemonic, 0, Qt::CaseInsensitive);
    if (at >= 0) caption.insert(at, '&');
    return caption;
}

void BindEnabledVisible(QWidget* widget, Control& control) {
    Follow(widget, control, ApplyEnabledVisible);
}

void BindButton(QAbstractButton* button, Control& control) {
    Follow(button, control, ApplyButton);
}

void BindCheckBox(QAbstractButton* box, Control& control, std::function<void()> onClick) {
    BindButton(box, control);
    QObject::connect(box, &QAbstractButton::clicked, box, [box, &control, onClick](bool on) {
        const bool changed = control.checked() != on;
        control.setChecked(on);
        ApplyButton(box, control);
        if (changed && onClick) onClick();
    });
}

void BindAction(QAction* action, Control& control, QChar mnemonic) {
    Follow(action, control, [mnemonic](QAction* a, const Control& c) {
        a->setText(Caption(c.text(), mnemonic));
        a->setChecked(c.checked());
        a->setEnabled(c.enabled());
        a->setVisible(c.visible());
    });
}

void BindLineEdit(QLineEdit* edit, Control& control, std::function<void()> onChange) {
    Follow(edit, control, [](QLineEdit* e, const Control& c) {
        const QString text = Latin1(c.text());
        if (e->text() != text) e->setText(text);
        ApplyEnabledVisible(e, c);
    });
    QObject::connect(edit, &QLineEdit::textEdited, edit, [&control, onChange](const QString& text) {
        control.setText(text.toLatin1());
        if (onChange) onChange();
    });
}

void BindLabel(QLabel* label, Control& control) {
    Follow(label, control, [](QLabel* l, const Control& c) {
        l->setText(Latin1(c.text()));
        l->setVisible(c.visible());
    });
}

void BindSlotText(QLineEdit* edit, TextSlot& slot) {
    Follow(edit, slot, [](QLineEdit* e, const TextSlot& s) {
        e->setText(Latin1(s.text()));
        // A text longer than its field shows its beginning, where it says what happened;
        // its tip holds the whole text.
        e->setCursorPosition(0);
        e->setToolTip(e->text());
    });
}

} // namespace zantrel
