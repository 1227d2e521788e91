#include "ui/user_info_dialog.h"
#include "core/control.h"
#include "core/state.h"

#include "core/plain_letters.h"
#include "engine/engine.h"
#include "files/user_info_dialogs.h"
#include "ui/binding_view.h"
#include "ui/centred_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace zantrel {

namespace {

QString PrintableAscii(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : PlainLetters(text))
        if (c.unicode() >= u' ' && c.unicode() <= u'~') kept += c;
    return kept;
}

} // namespace

QValidator::State UserFieldValidator::validate(QString& input, int& pos) const {
    const QString before = PrintableAscii(input.left(pos));
    const QString kept = before + PrintableAscii(input.mid(pos));
    if (kept.contains(": ")) return Invalid;
    input = kept;
    pos = static_cast<int>(before.size());
    return Acceptable;
}

UserInfoDialog::UserInfoDialog(Engine& engine, UserInfoFields& form, const QString& caption,
                               const QString& confirm, QWidget* parent)
    : QDialog(parent), engine_(engine), form_(form) {
    setWindowTitle(caption);
    setModal(false);

    auto* fields = new QGridLayout;
    fields->setColumnMinimumWidth(1, 260);
    UserInfo = addField(fields, 0, "User Name:", "UserInfo");
    UserLocation = addField(fields, 1, "User Location:", "UserLocation");
    ZLInfo = addField(fields, 2, "Zantrel ID:", "ZLInfo");
    auto* hint = new QLabel(QStringLiteral("Letters, digits, blanks and punctuation only; up to %1 "
                                           "characters each. Letters with accents are written "
                                           "plain (\u00fc as u); a colon followed by a blank "
                                           "is not accepted.")
                                .arg(kUserFieldMaxLength),
                            this);
    hint->setObjectName("Hint");
    hint->setWordWrap(true);
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    hint->setFont(small);

    Button1 = new QPushButton(confirm, this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    connect(Button1, &QPushButton::clicked, this,
            [this] { engine_.userInfo().Button1Click(form_); });
    connect(Button2, &QPushButton::clicked, this, &UserInfoDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    BindLineEdit(UserInfo, form.UserInfo);
    BindLineEdit(UserLocation, form.UserLocation);
    BindLineEdit(ZLInfo, form.ZLInfo);
    bindShown();
}

QLineEdit* UserInfoDialog::addField(QGridLayout* grid, int row, const QString& label,
                                    const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(kUserFieldMaxLength);
    edit->setValidator(new UserFieldValidator(edit));
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

void UserInfoDialog::reject() {
    engine_.userInfo().Button2Click(form_);
}

void UserInfoDialog::bindShown() {
    QPointer<UserInfoDialog> self(this);
    Control& shown = form_.Shown;
    auto apply = [self, &shown] {
        if (!self) return;
        if (shown.visible())
            self->showCentred();
        else
            self->hide();
    };
    apply();
    shown.subscribe(apply);
}

void UserInfoDialog::showCentred() {
    if (isVisible()) return;
    adjustSize();
    const QWidget* main = parentWidget();
    ShowCentred(*this, main ? std::optional(main->frameGeometry()) : std::nullopt);
    UserInfo->setFocus();
}

TForm4::TForm4(Engine& engine, QWidget* parent)
    : UserInfoDialog(engine, engine.state().Form4, "User Information", "OK", parent) {}

TForm5::TForm5(Engine& engine, QWidget* parent)
    : UserInfoDialog(engine, engine.state().Form5, "Please Verify Information ", "Continue",
                     parent) {
    QFont bold = button1()->font();
    bold.setBold(true);
    button1()->setFont(bold);
}

} // namespace zantrel
