#pragma once

#include <QWidget>
#include <utility>
#include <vector>

class QPlainTextEdit;

namespace zantrel {

class TextSlot;
struct State;

// The hidden flags and slots of the session, shown in place of the chart in diagnostics
// mode. Read-only; it follows every change while it is visible.
class DiagnosticsView : public QWidget {
    Q_OBJECT
  public:
    DiagnosticsView(State& state, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* makeMemos(State& state);
    QWidget* makeFlags(State& state);
    QWidget* makeValues(State& state);
    void scheduleMemoRefresh();
    void refreshMemos();

    // The multi-line slots can grow long: they are copied at most once per event-loop turn
    // and only while the view is shown.
    std::vector<std::pair<QPlainTextEdit*, TextSlot*>> memos_;
    bool refreshPending_ = false;
};

} // namespace zantrel
