#include "ui/main_menu_view.h"

#include "engine/engine.h"
#include "ui/binding_view.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace zantrel {

namespace {

QAction* AddItem(QMenu* menu, const char* text, const char* name,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

// A checkable item whose click goes to a handler of the engine, which decides what is
// checked; the item then shows that, whatever Qt toggled.
QAction* AddHandledItem(QMenu* menu, Control& control, const char* name,
                        std::function<void()> click) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    action->setCheckable(true);
    BindAction(action, control);
    QObject::connect(action, &QAction::triggered, action, [action, &control, click] {
        click();
        action->setChecked(control.checked());
    });
    return action;
}

} // namespace

MainMenuView::MainMenuView(QMenuBar* bar, Engine& engine) : QObject(bar), engine_(engine) {
    buildFile(bar);
    buildSetup(bar);
    buildHelp(bar);
}

void MainMenuView::buildFile(QMenuBar* bar) {
    QMenu* file = bar->addMenu("File");
    LoadChart = AddItem(file, "Load Chart", "LoadChart", QKeySequence("Ctrl+O"));
    connect(LoadChart, &QAction::triggered, this, [this] { engine_.loader().LoaddataClick(); });
    SaveChart = AddItem(file, "Save Chart", "SaveChart", QKeySequence("Ctrl+S"));
    connect(SaveChart, &QAction::triggered, this, [this] { engine_.userInfo().SavedataClick(); });
    NewClear = AddItem(file, "New/Clear", "NewClear", QKeySequence("Ctrl+N"));
    connect(NewClear, &QAction::triggered, this, [this] { engine_.ClearBuffer(); });
    PrintChart = AddItem(file, "Print Chart", "PrintChart", QKeySequence("Ctrl+P"));
    connect(PrintChart, &QAction::triggered, this, [this] { engine_.printer().Button1Click(); });
    file->addSeparator();
    Exit = AddItem(file, "Exit", "Exit", QKeySequence("Ctrl+Q"));
}

void MainMenuView::buildSetup(QMenuBar* bar) {
    QMenu* setup = bar->addMenu("Setup");
    Port = setup->addAction(QString());
    Port->setObjectName("COMM");
    BindAction(Port, engine_.state().COMM);
    buildAutoDownload(setup);
    buildDateFormat(setup);
    EditUserInformation = AddItem(setup, "Edit User Information", "EditUserInformation");
    connect(EditUserInformation, &QAction::triggered, this,
            [this] { engine_.userInfo().UserInformation1Click(); });
}

QMenu* MainMenuView::buildAutoDownload(QMenu* setup) {
    State& s = engine_.state();
    ScheduleMenu& schedule = engine_.scheduleMenu();
    QMenu* menu = setup->addMenu("Auto Download");
    for (const auto& [control, name] : {std::pair{&s.C1, "C1"}, std::pair{&s.C2, "C2"}})
        AddHandledItem(menu, *control, name,
                       [&schedule, control] { schedule.ChannelClick(*control); });
    menu->addSeparator();
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    group->addAction(
        AddHandledItem(menu, s.AutoOff, "AutoOff", [&schedule] { schedule.AutoOffClick(); }));
    const std::pair<Control*, const char*> intervals[] = {
        {&s.Auto1hour, "Auto1hour"}, {&s.Auto4hours, "Auto4hours"}, {&s.Auto8hrs, "Auto8hrs"},
        {&s.Auto24hrs, "Auto24hrs"}, {&s.Auto7day, "Auto7day"},     {&s.Auto30day, "Auto30day"}};
    for (const auto& [control, name] : intervals)
        group->addAction(AddHandledItem(
            menu, *control, name, [&schedule, control] { schedule.IntervalClick(*control); }));
    return menu;
}

QMenu* MainMenuView::buildDateFormat(QMenu* setup) {
    State& s = engine_.state();
    QMenu* menu = setup->addMenu("Date Format");
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < static_cast<int>(DateFormats.size()); ++i) {
        if (i == 4) menu->addSeparator();
        QAction* item = menu->addAction(QString());
        item->setCheckable(true);
        group->addAction(item);
        BindAction(item, s.DateFormatItems[i]);
        connect(item, &QAction::triggered, this, [this, i] {
            engine_.DateFormatClick(i);
            // The engine decides what is checked; show that whatever Qt toggled.
            for (int k = 0; k < static_cast<int>(DateFormats.size()); ++k)
                DateFormats[k]->setChecked(engine_.state().DateFormatItems[k].checked());
        });
        DateFormats[i] = item;
    }
    return menu;
}

void MainMenuView::buildHelp(QMenuBar* bar) {
    QMenu* help = bar->addMenu("Help");
    About = AddItem(help, "About", "About");
    AddItem(help, "FAQ", "FAQ")->setEnabled(false);
    AddItem(help, "Upgrade ZL unit", "UpgradeZL")->setEnabled(false);
    DiagnosticsMode = help->addAction(QString());
    DiagnosticsMode->setObjectName("DiagnosticsMode");
    DiagnosticsMode->setCheckable(true);
    Control& diagnostics = engine_.state().DiagnosticsMode;
    BindAction(DiagnosticsMode, diagnostics);
    connect(DiagnosticsMode, &QAction::triggered, this, [this, &diagnostics] {
        diagnostics.setChecked(!diagnostics.checked());
        DiagnosticsMode->setChecked(diagnostics.checked());
    });
}

} // namespace zantrel
