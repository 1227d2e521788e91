#include "files/user_info_dialogs.h"

#include "core/auto_clock.h"
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

UserInfoDialogs::UserInfoDialogs(State& state, Dialogs& dialogs, Clock& clock)
    : state_(state), dialogs_(dialogs), clock_(clock) {}

void UserInfoDialogs::UserInformation1Click() {
    show(state_.Form4);
}

void UserInfoDialogs::SavedataClick() {
    verifyingFor_ = Verifying::ChartSave;
    show(state_.Form5);
}

void UserInfoDialogs::verifyForAutoDownload() {
    verifyingFor_ = Verifying::AutoDownload;
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

// A cancelled confirmation of automatic downloads leaves no interval chosen without a file.
void UserInfoDialogs::Button2Click(UserInfoFields& form) {
    form.Shown.setVisible(false);
    if (&form == &state_.Form5 && verifyingFor_ == Verifying::AutoDownload && autoDownloadOff)
        autoDownloadOff();
}

void UserInfoDialogs::continueWithStoredInformation() {
    UserInfoFields& form = state_.Form5;
    cleanFields(form);
    continueAfterVerifying();
    form.Shown.setVisible(false);
}

void UserInfoDialogs::saveWithStoredInformation() {
    verifyingFor_ = Verifying::ChartSave;
    if (!state_.Form5.Shown.visible()) FormShow(state_.Form5);
    continueWithStoredInformation();
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

// "Save Chart" saves the chart the user sees, whether or not downloads are on a schedule;
// the confirmation of an interval leads to the choice of the monthly file.
void UserInfoDialogs::continueAfterVerifying() {
    if (verifyingFor_ == Verifying::AutoDownload && !state_.AutoOff.checked()) {
        chooseAutoFile();
    } else if (saveChart) {
        // The chart's name is no base for the monthly files of a schedule that is on.
        const QByteArray autoFile = state_.Edit2.text();
        saveChart();
        if (!state_.AutoOff.checked()) state_.Edit2.setText(autoFile);
    }
}

void UserInfoDialogs::chooseAutoFile() {
    State& s = state_;
    const std::optional<QByteArray> path = dialogs_.saveFile();
    if (!path) {
        if (autoDownloadOff) autoDownloadOff();
        return;
    }
    s.Edit2.setText(*path);
    SetAutoClock(s, clock_, 0);
    s.TextForNextAuto.setVisible(true);
    s.AutoClockBox.setVisible(true);
}

} // namespace zantrel
