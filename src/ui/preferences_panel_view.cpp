#include "ui/preferences_panel_view.h"
#include "chart/chart_presenter.h"
#include "core/state.h"

#include "engine/engine.h"
#include "ui/binding_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace zantrel {

namespace {

// A bound edit: every change runs onChange, leaving it runs onExit.
QLineEdit* MakeBoundEdit(Control& control, const char* name, QWidget* parent,
                         const std::function<void()>& onChange,
                         const std::function<void()>& onExit) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(60);
    BindLineEdit(edit, control, onChange);
    QObject::connect(edit, &QLineEdit::editingFinished, edit, onExit);
    return edit;
}

QCheckBox* MakeBoundCheckBox(Control& control, const char* name, QWidget* parent,
                             const std::function<void()>& onClick) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    BindCheckBox(box, control, onClick);
    return box;
}

// The unit of the bound beside it, as the chart shows temperatures.
QLabel* MakeUnitLabel(Control& fahrenheit, const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QPointer<QLabel> guard(label);
    auto apply = [guard, &fahrenheit] {
        if (guard) guard->setText(QString(QChar(0x00B0)) + (fahrenheit.checked() ? "F" : "C"));
    };
    apply();
    fahrenheit.subscribe(apply);
    return label;
}

} // namespace

PreferencesPanelView::PreferencesPanelView(Engine& engine, QWidget* parent)
    : QGroupBox("Chart Preferences", parent) {
    State& state = engine.state();
    ChartPresenter& presenter = engine.presenter();
    auto* grid = new QGridLayout(this);
    grid->addWidget(MakeBoundCheckBox(state.TempInF, "TempInF", this,
                                      [&presenter] { presenter.TempInFClick(); }),
                    0, 0, 1, 2);
    grid->addWidget(MakeBoundCheckBox(state.AutoScale, "AutoScale", this,
                                      [&presenter] { presenter.AutoScaleClick(); }),
                    1, 0, 1, 2);
    // Typing in either bound applies both; leaving one applies them in that one's order.
    const auto maxTempExit = [&presenter] { presenter.MaxTempExit(); };
    const auto minTempExit = [&presenter] { presenter.MinTempExit(); };
    grid->addWidget(new QLabel("Max Temp", this), 2, 0);
    grid->addWidget(MakeBoundEdit(state.MaxTemp, "MaxTemp", this, maxTempExit, maxTempExit), 2, 1);
    grid->addWidget(MakeUnitLabel(state.TempInF, "MaxTempUnit", this), 2, 2);
    grid->addWidget(new QLabel("Min Temp", this), 3, 0);
    grid->addWidget(MakeBoundEdit(state.MinTemp, "MinTemp", this, maxTempExit, minTempExit), 3, 1);
    grid->addWidget(MakeUnitLabel(state.TempInF, "MinTempUnit", this), 3, 2);
    grid->setRowStretch(4, 1);
}

} // namespace zantrel
