#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

namespace zantrel {

class Engine;

// "Select Port": the port in use, the list of COM names followed by the serial devices
// present on this machine, Apply and Cancel. Created once, hidden, and shown without
// blocking the main window; it keeps its selection between showings.
class TForm6 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm6(Engine& engine, QWidget* parent = nullptr);

    void showCentred();
    void ApplyClick();
    void CancelClick();

    QLabel* currentPortLabel() const { return Label1; }
    QListWidget* portList() const { return PortListBox; }

  private:
    void FormCreate();
    void addDevicesPresent();
    void showPortName();

    Engine& engine_;
    QLabel* Label1;
    QListWidget* PortListBox;
};

} // namespace zantrel
