#include "core/user_info_dialogs.h"

#include "core/clock.h"
#include "core/date_time.h"
#include "core/dialogs.h"
#include "core/plain_letters.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "core/user_info.h"

namespace zantrel {

QByteArray CleanUserField(const QByteArray& text) {
    QByteArray clean;
    for (const char c : PlainLetters(QString::fromLatin1(text)).toLatin1()) {
        if (c == '~' || c < ' ' || c > '~') continue;
        clean += c;
        if (clean.size() == kUserFieldMaxLength) break;
    }
    return clean;
}

UserInfoDialogs::UserInfoDialogs(State& state, Dialogs& dialogs, Clock& clock,
                                 const FormatSettings& formats)
    : state_(state), dialogs_(dialogs), clock_(clock), formats_(formats) {}

void UserInfoDialogs::UserInformation1Click() {
    show(state_.Form4);
}

void UserInfoDialogs::SavedataClick() {
    show(state_.Form5);
}

// A dialog that is already open keeps what the user has typed into it.
void UserInfoDialogs::show(UserInfoFields& form) {
    if (form.Shown.visible()) return;
    FormShow(form);
    form.Shown.setVisible(true);
}

void UserInfoDialogs::FormShow(UserInfoFields& form) {
    const QByteArray box = state_.UserInformationBox.text();
    if (box.isEmpty()) return;
    const std::array<QByteArray, 4> values = ExtractUserInformation(box, 3);
    form.UserInfo.setText(values[0]);
    form.UserLocation.setText(values[1]);
    form.ZLInfo.setText(values[2]);
}

void UserInfoDialogs::Button1Click(UserInfoFields& form) {
    store(form);
    if (&form == &state_.Form5) continueAfterVerifying();
    form.Shown.setVisible(false);
}

void UserInfoDialogs::Button2Click(UserInfoFields& form) {
    form.Shown.setVisible(false);
}

void UserInfoDialogs::ContinueWithStoredInformation() {
    UserInfoFields& form = state_.Form5;
    cleanFields(form);
    continueAfterVerifying();
    form.Shown.setVisible(false);
}

void UserInfoDialogs::cleanFields(UserInfoFields& form) {
    for (Control* field : {&form.UserInfo, &form.UserLocation, &form.ZLInfo})
        field->setText(CleanUserField(field->text()));
}

void UserInfoDialogs::store(UserInfoFields& form) {
    State& s = state_;
    const QByteArray base = CaptionBase(s.Caption.text());
    cleanFields(form);
    s.UserInformationBox.setText(ComposeUserInformation(
        form.UserInfo.text(), form.UserLocation.text(), form.ZLInfo.text(), base));
    const QByteArray problem =
        SaveSetting(s.UserInformationBox, s.ThisAppDir.text(), kUserInfoFile);
    if (!problem.isEmpty()) dialogs_.problem(problem);
}

void UserInfoDialogs::continueAfterVerifying() {
    if (state_.AutoOff.checked()) {
        if (saveChart) saveChart();
    } else {
        chooseAutoFile();
    }
}

// With an automatic-download interval chosen, "Save Chart" picks the monthly file instead.
void UserInfoDialogs::chooseAutoFile() {
    State& s = state_;
    const std::optional<QByteArray> path = dialogs_.saveFile();
    if (path) {
        s.Edit2.setText(*path);
        const double now = clock_.now();
        s.AutoClockTime = now;
        s.AutoClock.setText(FormatDateTimeDefault(now, formats_));
        s.TextForNextAuto.setVisible(true);
        s.AutoClockBox.setVisible(true);
        return;
    }
    s.TextForNextAuto.setVisible(false);
    s.AutoClockBox.setVisible(false);
    for (Control* interval :
         {&s.Auto1hour, &s.Auto4hours, &s.Auto8hrs, &s.Auto24hrs, &s.Auto7day, &s.Auto30day})
        interval->setChecked(false);
    s.AutoOff.setChecked(true);
    s.Edit2.clear();
    s.InitAutoload.clear();
}

} // namespace zantrel
