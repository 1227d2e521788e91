#pragma once

#include <QWidget>

class QLineEdit;
class QProgressBar;

namespace zantrel {

struct State;

// The bottom line: the status texts, the upload progress and the next automatic download.
class StatusLineView : public QWidget {
    Q_OBJECT
  public:
    StatusLineView(State& state, QWidget* parent = nullptr);

    QLineEdit* statusEdit() const { return status_; }
    QProgressBar* progressBar() const { return progress_; }

  private:
    QLineEdit* status_;
    QProgressBar* progress_;
};

} // namespace zantrel
