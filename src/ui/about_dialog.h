#pragma once

#include <QDialog>

namespace zantrel {

// The About box: shown without blocking the main window, closed by "OK".
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);

    // Shows the box centred on the screen and brings it to the front.
    void showCentred();
};

} // namespace zantrel
