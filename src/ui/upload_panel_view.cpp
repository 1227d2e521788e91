#include "ui/upload_panel_view.h"
#include "core/control.h"
#include "core/state.h"
#include "files/unsaved_chart_guard.h"
#include "protocol/upload_session.h"

#include "core/calendar.h"
#include "engine/engine.h"
#include "plot/chart_label_format.h"
#include "ui/binding_view.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

namespace zantrel {

namespace {

constexpr const char* kRangeItems[] = {"All data", "Last month", "Last week", "Custom"};

QDate DateOfDayCount(double t) {
    const auto fields = DecodeDateTime(std::floor(t));
    return fields ? QDate(fields->year, fields->month, fields->day) : QDate();
}

QTime TimeOfDayCount(double t) {
    const auto fields = DecodeDateTime(t);
    return fields ? QTime(fields->hour, fields->minute, fields->second, fields->millisecond)
                  : QTime(0, 0);
}

// The date part of the chosen date format as a QDateEdit shows it: one order of day and month
// across the window.
QString PickerDateFormat(const QByteArray& pattern) {
    for (const QString& part : ToChartLabelFormat(pattern).split('\n'))
        if (part.contains('d') || part.contains('y')) return part;
    return QStringLiteral("dd/MM/yyyy");
}

// Channel buttons exclude each other through their controls, not through Qt.
QRadioButton* MakeChannelButton(Control& mine, Control& other, QWidget* parent) {
    auto* button = new QRadioButton(parent);
    button->setAutoExclusive(false);
    BindButton(button, mine);
    QObject::connect(button, &QAbstractButton::clicked, button, [button, &mine, &other] {
        mine.setChecked(true);
        other.setChecked(false);
        button->setChecked(mine.checked());
    });
    return button;
}

} // namespace

UploadPanelView::UploadPanelView(Engine& engine, QWidget* parent)
    : QGroupBox("Upload information", parent) {
    State& state = engine.state();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeRangeGroup(engine));

    auto* pickers = new QGridLayout;
    pickers->addWidget(new QLabel("Start Date/Time", this), 0, 0, 1, 2);
    pickers->addWidget(new QLabel("End Date/Time", this), 0, 2, 1, 2);
    pickers->addWidget(makeDatePicker(state.Startdate, state.DATEFORMAT), 1, 0);
    pickers->addWidget(makeTimePicker(state.Starttime), 1, 1);
    pickers->addWidget(makeDatePicker(state.Enddate, state.DATEFORMAT), 1, 2);
    pickers->addWidget(makeTimePicker(state.Endtime), 1, 3);
    layout->addLayout(pickers);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MakeChannelButton(state.RadioButton1, state.RadioButton2, this));
    bottom->addWidget(MakeChannelButton(state.RadioButton2, state.RadioButton1, this));
    bottom->addStretch();
    UploadSession& session = engine.session();
    auto* upload = new QPushButton(this);
    upload->setObjectName("UploadData");
    BindButton(upload, state.UploadData);
    UnsavedChartGuard& guard = engine.unsavedGuard();
    connect(upload, &QPushButton::clicked, this, [&session, &guard] {
        if (guard.mayClear()) session.UploadDataClick();
    });
    auto* abort = new QPushButton(this);
    abort->setObjectName("AbortUpload");
    BindButton(abort, state.AbortUpload);
    connect(abort, &QPushButton::clicked, this, [&session] { session.AbortUploadClick(); });
    bottom->addWidget(upload);
    bottom->addWidget(abort);
    layout->addLayout(bottom);
}

QWidget* UploadPanelView::makeRangeGroup(Engine& engine) {
    Control& group = engine.state().upload_range_group;
    UploadSession& session = engine.session();
    auto* frame = new QFrame(this);
    frame->setObjectName("upload_range_group");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(4, 2, 4, 2);
    auto* buttons = new QButtonGroup(frame);
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(kRangeItems[i], frame);
        buttons->addButton(item, i);
        row->addWidget(item);
    }
    QPointer<QFrame> guard(frame);
    auto apply = [guard, buttons, &group] {
        if (!guard) return;
        if (auto* b = buttons->button(static_cast<int>(group.value()))) b->setChecked(true);
        guard->setEnabled(group.enabled());
        guard->setVisible(group.visible());
    };
    apply();
    group.subscribe(apply);
    connect(buttons, &QButtonGroup::idClicked, frame, [&group, &session, apply](int id) {
        const bool changed = static_cast<int>(group.value()) != id;
        group.setValue(id);
        apply();
        if (changed) session.upload_range_groupClick();
    });
    return frame;
}

// A date picker shows the whole-day part of its control, in the chosen date format; editing
// keeps the time of day.
QDateEdit* UploadPanelView::makeDatePicker(Control& picker, TextSlot& format) {
    auto* edit = new QDateEdit(this);
    edit->setCalendarPopup(true);
    QPointer<QDateEdit> guard(edit);
    auto applyFormat = [guard, &format] {
        if (guard) guard->setDisplayFormat(PickerDateFormat(format.text()));
    };
    applyFormat();
    format.subscribe(applyFormat);
    auto apply = [guard, &picker] {
        if (!guard) return;
        const QSignalBlocker block(guard.data());
        guard->setDate(DateOfDayCount(picker.value()));
        guard->setEnabled(picker.enabled());
        guard->setVisible(picker.visible());
    };
    apply();
    picker.subscribe(apply);
    connect(edit, &QDateEdit::dateChanged, edit, [&picker](const QDate& date) {
        const auto day = EncodeDate(date.year(), date.month(), date.day());
        if (!day) return;
        const double time = picker.value() - std::floor(picker.value());
        picker.setValue(*day + time);
    });
    return edit;
}

// A time picker shows the fraction of its control; editing keeps the whole-day part.
QTimeEdit* UploadPanelView::makeTimePicker(Control& picker) {
    auto* edit = new QTimeEdit(this);
    edit->setDisplayFormat("hh:mm:ss");
    QPointer<QTimeEdit> guard(edit);
    auto apply = [guard, &picker] {
        if (!guard) return;
        const QSignalBlocker block(guard.data());
        guard->setTime(TimeOfDayCount(picker.value()));
        guard->setEnabled(picker.enabled());
        guard->setVisible(picker.visible());
    };
    apply();
    picker.subscribe(apply);
    connect(edit, &QTimeEdit::timeChanged, edit, [&picker](const QTime& time) {
        const auto fraction = EncodeTime(time.hour(), time.minute(), time.second(), time.msec());
        if (!fraction) return;
        picker.setValue(std::floor(picker.value()) + *fraction);
    });
    return edit;
}

} // namespace zantrel
