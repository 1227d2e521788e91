#pragma once

#include <QByteArray>
#include <functional>

namespace zantrel {

class Clock;
class Dialogs;
struct State;
struct UserInfoFields;

// Longest text a user-information field keeps, so that every header line that carries
// it, scrambled or plain, stays well within the 254 characters a chart file line may have.
inline constexpr int kUserFieldMaxLength = 100;

// A field as it is stored: letters with accents written as plain letters, "~" removed (it
// starts the header lines), only printable ASCII (32..126, the range the duplicate's
// scrambling rotates within), at most kUserFieldMaxLength characters.
QByteArray CleanUserField(const QByteArray& text);

// The user-information editor (Form4) and the verification dialog (Form5) that comes
// before every manual save: filling, storing and continuing.
class UserInfoDialogs {
  public:
    UserInfoDialogs(State& state, Dialogs& dialogs, Clock& clock);
    // Setup, "Edit User Information".
    void UserInformation1Click();
    // File, "Save Chart".
    void SavedataClick();
    // The verification that comes before automatic downloads (an interval chosen).
    void verifyForAutoDownload();
    void FormShow(UserInfoFields& form);
    // OK (Form4) or Continue (Form5).
    void Button1Click(UserInfoFields& form);
    // Cancel, or the dialog closed by its window frame.
    void Button2Click(UserInfoFields& form);
    // "Continue" of the verification dialog as a front end without a window gives it: the
    // fields as shown, made storable, go into the chart file and USERINFO.DAT is left as it
    // is (not even created).
    void continueWithStoredInformation();
    // "Save Chart" without the verification dialog: the stored information goes into the
    // chart file (the Save of the question before a chart is cleared).
    void saveWithStoredInformation();

    // Saves the chart (the verified "Save Chart").
    std::function<void()> saveChart;
    // Turns automatic downloads off ("Off" in the Auto Download menu).
    std::function<void()> autoDownloadOff;

  private:
    void show(UserInfoFields& form);
    void store(UserInfoFields& form);
    static void cleanFields(UserInfoFields& form);
    void continueAfterVerifying();
    void chooseAutoFile();

    // What the verification dialog was shown for.
    enum class Verifying { ChartSave, AutoDownload };
    Verifying verifyingFor_ = Verifying::ChartSave;

    State& state_;
    Dialogs& dialogs_;
    Clock& clock_;
};

} // namespace zantrel
