#include "ui/status_line_view.h"

#include "core/state.h"
#include "ui/binding_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <algorithm>

namespace zantrel {

namespace {

// A text the user can read, select and copy but not edit, on the window's own background. A
// click gives it the focus (for the copy keys); the Tab key passes it by.
QLineEdit* MakeDisplayEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    return edit;
}

} // namespace

StatusLineView::StatusLineView(State& state, QWidget* parent) : QWidget(parent) {
    // The row's texts never widen the window: "Next Auto Download:" appearing beside the
    // progress bar would need more than the window's width.
    setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 2);
    row->addWidget(new QLabel("Status", this));

    status_ = MakeDisplayEdit("Edit1", this);
    // 457 pixels wide, narrower when the schedule's texts need the room.
    status_->setMinimumWidth(200);
    status_->setMaximumWidth(457);
    BindSlotText(status_, state.Edit1);
    row->addWidget(status_, 1);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("Progress");
    progress_->setMaximumWidth(120);
    QPointer<QProgressBar> bar(progress_);
    auto applyProgress = [bar, &state] {
        if (!bar) return;
        bar->setRange(0, std::max(state.ProgressTotal, 0));
        bar->setValue(static_cast<int>(state.Progress.value()));
        bar->setVisible(state.Progress.visible());
    };
    applyProgress();
    state.Progress.subscribe(applyProgress);
    row->addWidget(progress_);
    row->addStretch();

    auto* nextLabel = new QLabel(this);
    nextLabel->setObjectName("TextForNextAuto");
    BindLabel(nextLabel, state.TextForNextAuto);
    row->addWidget(nextLabel);
    auto* clock = MakeDisplayEdit("AutoClock", this);
    // Room for the longest of the date formats' texts.
    clock->setMinimumWidth(
        std::max(130, clock->fontMetrics().horizontalAdvance("00/00/0000, 00:00:00 AM") + 12));
    BindSlotText(clock, state.AutoClock);
    BindEnabledVisible(clock, state.AutoClockBox);
    row->addWidget(clock);
}

} // namespace zantrel
