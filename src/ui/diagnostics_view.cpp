#include "ui/diagnostics_view.h"

#include "core/date_rendering.h"
#include "core/state.h"
#include "ui/binding_view.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace zantrel {

namespace {

// Widest a value field grows to fit its text; a longer text shows its start and the whole
// of it as the field's tip.
constexpr int kMaxFieldWidth = 360;
// The room a line edit keeps either side of its text, with a pixel for the cursor.
constexpr int kLineEditTextMargin = 3;

// The field is at least as wide as its text, so that no value is cut.
void FitToText(QLineEdit* edit) {
    const QString text = edit->text();
    const QMargins margins = edit->textMargins();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QSize content(edit->fontMetrics().horizontalAdvance(text) + margins.left() +
                            margins.right() + 2 * kLineEditTextMargin,
                        edit->fontMetrics().height());
    const int width =
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, edit).width();
    edit->setMinimumWidth(std::min(width, kMaxFieldWidth));
    edit->setToolTip(width > kMaxFieldWidth ? text : QString());
    edit->setCursorPosition(0);
}

QLineEdit* MakeReadOnlyEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { FitToText(edit); });
    return edit;
}

// A check box that shows a flag and ignores the mouse and keyboard.
QCheckBox* MakeFlagBox(Flag& flag, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(caption);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    QPointer<QCheckBox> guard(box);
    auto apply = [guard, &flag] {
        if (guard) guard->setChecked(flag.checked());
    };
    apply();
    flag.subscribe(apply);
    return box;
}

} // namespace

DiagnosticsView::DiagnosticsView(State& state, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeMemos(state), 3);
    layout->addWidget(makeFlags(state), 1);
    layout->addWidget(makeValues(state), 2);
}

QWidget* DiagnosticsView::makeMemos(State& state) {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const std::pair<TextSlot*, const char*> memos[] = {{&state.Memo2, "Header Data"},
                                                       {&state.Memo5, "Incoming Data (Hex format)"},
                                                       {&state.Memo3, "Memo3"}};
    for (const auto& [slot, caption] : memos) {
        column->addWidget(new QLabel(caption, box));
        auto* memo = new QPlainTextEdit(box);
        memo->setReadOnly(true);
        memo->setObjectName(caption);
        column->addWidget(memo);
        memos_.emplace_back(memo, slot);
        QPointer<DiagnosticsView> self(this);
        slot->subscribe([self] {
            if (self) self->scheduleMemoRefresh();
        });
    }
    return box;
}

QWidget* DiagnosticsView::makeFlags(State& state) {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const std::pair<Flag*, const char*> flags[] = {
        {&state.Startloadingdata, "Startloadingdata"},
        {&state.Errorindata, "Errorindata"},
        {&state.Startloadingheader, "Startloadingheader"},
        {&state.Headerloaded, "Headerloaded"},
        {&state.Readyfornextblock, "Readyfornextblock"},
        {&state.WaitingForAck, "WaitingForAck"},
        {&state.InitAutoload, "InitAutoload"},
        {&state.DataLoaded, "DataLoaded"},
        {&state.RHZL, "ZL with RH"},
        {&state.WaitOnFastAck, "WaitOnFastAck"},
        {&state.FastBaud, "FastBaud"}};
    for (const auto& [flag, caption] : flags)
        column->addWidget(MakeFlagBox(*flag, caption, box));
    column->addStretch();
    return box;
}

QWidget* DiagnosticsView::makeValues(State& state) {
    auto* box = new QWidget(this);
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    const std::pair<TextSlot*, const char*> texts[] = {{&state.Firstdate, "First Date"},
                                                       {&state.Firsttime, "First Time"},
                                                       {&state.Lastdate, "Last Date"},
                                                       {&state.Lasttime, "Last Time"},
                                                       {&state.Samplesperhour, "Samples Per Hr"},
                                                       {&state.Datastored, "Data Stored"},
                                                       {&state.COMPORT, "Serial Port"},
                                                       {&state.Edit2, "Edit2"}};
    for (const auto& [slot, caption] : texts) {
        QLineEdit* edit = MakeReadOnlyEdit(caption, box);
        BindSlotText(edit, *slot);
        form->addRow(caption, edit);
    }
    QLineEdit* watchdog = MakeReadOnlyEdit("Watchdog", box);
    QPointer<QLineEdit> guard(watchdog);
    auto apply = [guard, &state] {
        if (guard)
            guard->setText(Latin1(FormatDateTime(kDefaultDateFormat, state.Watchdog.value())));
    };
    apply();
    state.Watchdog.subscribe(apply);
    form->addRow("Watchdog", watchdog);
    return box;
}

void DiagnosticsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshMemos();
}

void DiagnosticsView::scheduleMemoRefresh() {
    if (refreshPending_ || !isVisible()) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refreshMemos(); });
}

void DiagnosticsView::refreshMemos() {
    refreshPending_ = false;
    for (const auto& [memo, slot] : memos_) {
        const QString text = Latin1(slot->text()).replace("\r\n", "\n");
        if (memo->toPlainText() != text) memo->setPlainText(text);
    }
}

} // namespace zantrel
