#include "app/user_info_dialogs.h"

#include "app/date_time.h"
#include "app/engine.h"
#include "app/host.h"
#include "app/settings_files.h"
#include "app/user_info.h"

namespace zantrel {

QByteArray CleanUserField(const QByteArray& text) {
    QByteArray clean;
    for (const char c : text) {
        if (c == '~' || c < ' ' || c > '~') continue;
        clean += c;
        if (clean.size() == kUserFieldMaxLength) break;
    }
    return clean;
}

UserInfoDialogs::UserInfoDialogs(Engine& engine) : engine_(engine) {}

void UserInfoDialogs::UserInformation1Click() {
    show(engine_.state().Form4);
}

void UserInfoDialogs::SavedataClick() {
    show(engine_.state().Form5);
}

// A dialog that is already open keeps what the user has typed into it.
void UserInfoDialogs::show(UserInfoFields& form) {
    if (form.Shown.visible()) return;
    FormShow(form);
    form.Shown.setVisible(true);
}

void UserInfoDialogs::FormShow(UserInfoFields& form) {
    const QByteArray box = engine_.state().UserInformationBox.text();
    if (box.isEmpty()) return;
    const std::array<QByteArray, 4> values = ExtractUserInformation(box, 3);
    form.UserInfo.setText(values[0]);
    form.UserLocation.setText(values[1]);
    form.ZLInfo.setText(values[2]);
}

void UserInfoDialogs::Button1Click(UserInfoFields& form) {
    store(form);
    if (&form == &engine_.state().Form5) continueAfterVerifying();
    form.Shown.setVisible(false);
}

void UserInfoDialogs::Button2Click(UserInfoFields& form) {
    form.Shown.setVisible(false);
}

void UserInfoDialogs::ContinueWithStoredInformation() {
    UserInfoFields& form = engine_.state().Form5;
    cleanFields(form);
    continueAfterVerifying();
    form.Shown.setVisible(false);
}

void UserInfoDialogs::cleanFields(UserInfoFields& form) {
    for (Control* field : {&form.UserInfo, &form.UserLocation, &form.ZLInfo})
        field->setText(CleanUserField(field->text()));
}

void UserInfoDialogs::store(UserInfoFields& form) {
    State& s = engine_.state();
    const QByteArray base = CaptionBase(s.Caption.text());
    cleanFields(form);
    s.UserInformationBox.setText(ComposeUserInformation(
        form.UserInfo.text(), form.UserLocation.text(), form.ZLInfo.text(), base));
    const QByteArray path = SettingsPath(s.ThisAppDir.text(), kUserInfoFile);
    if (!SaveSlotToFile(s.UserInformationBox, path))
        engine_.ShowProblem("Cannot save the user information in " + path +
                            ". Check folder rights.");
}

void UserInfoDialogs::continueAfterVerifying() {
    if (engine_.state().AutoOff.checked())
        engine_.writer().SaveChartFile();
    else
        chooseAutoFile();
}

// With an automatic-download interval chosen, "Save Chart" picks the monthly file instead.
void UserInfoDialogs::chooseAutoFile() {
    State& s = engine_.state();
    std::optional<QByteArray> path;
    {
        ModalScope modal(engine_.handoffs());
        path = engine_.host().saveFileDialog();
    }
    if (path) {
        s.Edit2.setText(*path);
        const double now = engine_.clock().now();
        s.AutoClockTime = now;
        s.AutoClock.setText(FormatDateTimeDefault(now, engine_.formats()));
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
