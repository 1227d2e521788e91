#pragma once

#include <QDialog>
#include <QValidator>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace zantrel {

class Engine;
struct UserInfoFields;

// What is typed or pasted into a user-information field: letters with accents are written
// as their plain letters, anything else outside printable ASCII (blank to "~") is dropped
// where it stands, and an edit that would make ": " is refused (the stored lines read each
// value after the first ": " of its line).
class UserFieldValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// One user-information dialog: "User Name:", "User Location:" and "Zantrel ID:", a
// confirm and a cancel button. Shown without blocking the main window, centred on it,
// while the engine's form is shown; the fields follow the form's texts both ways.
class UserInfoDialog : public QDialog {
    Q_OBJECT
  public:
    QLineEdit* userInfo() const { return UserInfo; }
    QLineEdit* userLocation() const { return UserLocation; }
    QLineEdit* zlInfo() const { return ZLInfo; }
    QPushButton* button1() const { return Button1; }
    QPushButton* button2() const { return Button2; }

    // Escape, the window frame's close and Cancel all end here.
    void reject() override;

  protected:
    UserInfoDialog(Engine& engine, UserInfoFields& form, const QString& caption,
                   const QString& confirm, QWidget* parent);

  private:
    QLineEdit* addField(QGridLayout* grid, int row, const QString& label, const char* name);
    void bindShown();
    void showCentred();

    Engine& engine_;
    UserInfoFields& form_;
    QLineEdit* UserInfo;
    QLineEdit* UserLocation;
    QLineEdit* ZLInfo;
    QPushButton* Button1;
    QPushButton* Button2;
};

// Setup, "Edit User Information".
class TForm4 : public UserInfoDialog {
    Q_OBJECT
  public:
    TForm4(Engine& engine, QWidget* parent = nullptr);
};

// Before every manual save: confirm the user information, then save.
class TForm5 : public UserInfoDialog {
    Q_OBJECT
  public:
    TForm5(Engine& engine, QWidget* parent = nullptr);
};

} // namespace zantrel
