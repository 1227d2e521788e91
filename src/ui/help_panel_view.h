#pragma once

#include <QPixmap>
#include <QWidget>

class QPushButton;

namespace zantrel {

struct State;

// The right-hand part under the chart: how to zoom and pan, the secure-data marker with
// its lock picture, and the "Hide" button.
class HelpPanelView : public QWidget {
    Q_OBJECT
  public:
    HelpPanelView(State& state, QWidget* parent = nullptr);

  signals:
    void hideRequested();

  private:
    QPushButton* hide_;
};

// A small padlock, drawn rather than loaded so the program carries no image files.
QPixmap LockPicture(int size);

} // namespace zantrel
