#pragma once

namespace zantrel {

class Engine;
struct UserInfoFields;

// The user-information editor (Form4) and the verification dialog (Form5) that comes
// before every manual save: filling, storing and continuing.
class UserInfoDialogs {
public:
    explicit UserInfoDialogs(Engine& engine);
    // Setup, "Edit User Information".
    void UserInformation1Click();
    // File, "Save Chart".
    void SavedataClick();
    void FormShow(UserInfoFields& form);
    void Button1Click(UserInfoFields& form);
    void Button2Click(UserInfoFields& form);

private:
    Engine& engine_;
};

} // namespace zantrel
