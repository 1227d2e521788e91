#include "app/user_info_dialogs.h"

namespace zantrel {

UserInfoDialogs::UserInfoDialogs(Engine& engine) : engine_(engine) {}

void UserInfoDialogs::UserInformation1Click() {}
void UserInfoDialogs::SavedataClick() {}
void UserInfoDialogs::FormShow(UserInfoFields&) {}
void UserInfoDialogs::Button1Click(UserInfoFields&) {}
void UserInfoDialogs::Button2Click(UserInfoFields&) {}

} // namespace zantrel
