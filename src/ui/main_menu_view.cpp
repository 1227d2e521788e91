#include "ui/main_menu_view.h"
#include "chart/chart_model.h"
#include "chart/chart_printer.h"
#include "chart/readings_store.h"
#include "core/control.h"
#include "core/state.h"
#include "files/chart_file_loader.h"
#include "files/overlay_loader.h"
#include "files/unsaved_chart_guard.h"
#include "files/user_info_dialogs.h"
#include "schedule/schedule_menu.h"

#include "engine/engine.h"
#include "ui/binding_view.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <tuple>

namespace zantrel {

namespace {

// An item whose caption is text, with the key that picks it while its menu is open.
QAction* AddItem(QMenu* menu, const char* text, QChar mnemonic, const char* name,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(Caption(QString(text), mnemonic));
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

// A checkable item whose click goes to a handler of the engine, which decides what is
// checked; the item then shows that, whatever Qt toggled.
QAction* AddHandledItem(QMenu* menu, Control& control, QChar mnemonic, const char* name,
                        std::function<void()> click) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    action->setCheckable(true);
    BindAction(action, control, mnemonic);
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
    buildChart(bar);
    buildHelp(bar);
}

void MainMenuView::buildFile(QMenuBar* bar) {
    QMenu* file = bar->addMenu(Caption(QString("File"), 'F'));
    LoadChart = AddItem(file, "Load Chart", 'L', "LoadChart", QKeySequence("Ctrl+O"));
    // Each of these clears the chart: one that is not saved is asked about first.
    UnsavedChartGuard& guard = engine_.unsavedGuard();
    connect(LoadChart, &QAction::triggered, this, [this, &guard] {
        if (guard.mayClear()) engine_.loader().LoaddataClick();
    });
    LoadMonth = AddItem(file, "Load Month...", 'M', "LoadMonth", QKeySequence("Ctrl+M"));
    connect(LoadMonth, &QAction::triggered, this, [this, &guard] {
        if (guard.mayClear()) engine_.loader().LoadMonthClick();
    });
    SaveChart = AddItem(file, "Save Chart", 'S', "SaveChart", QKeySequence("Ctrl+S"));
    connect(SaveChart, &QAction::triggered, this, [this] { engine_.userInfo().SavedataClick(); });
    NewClear = AddItem(file, "New/Clear", 'N', "NewClear", QKeySequence("Ctrl+N"));
    connect(NewClear, &QAction::triggered, this, [this, &guard] {
        if (guard.mayClear()) engine_.ClearBuffer();
    });
    PrintChart = AddItem(file, "Print Chart", 'P', "PrintChart", QKeySequence("Ctrl+P"));
    connect(PrintChart, &QAction::triggered, this, [this] { engine_.printer().Button1Click(); });
    Report = AddItem(file, "Report...", 'R', "Report", QKeySequence("Ctrl+R"));
    Export = AddItem(file, "Export...", 'E', "Export", QKeySequence("Ctrl+E"));
    QPointer<QAction> report(Report);
    QPointer<QAction> exporting(Export);
    auto follow = [report, exporting, &store = engine_.readings()] {
        if (report) report->setEnabled(!store.ReadingTimes.empty());
        if (exporting) exporting->setEnabled(!store.ReadingTimes.empty());
    };
    follow();
    engine_.chart().Series1.subscribe(follow);
    file->addSeparator();
    Exit = AddItem(file, "Exit", 'x', "Exit", QKeySequence("Ctrl+Q"));
}

void MainMenuView::buildSetup(QMenuBar* bar) {
    QMenu* setup = bar->addMenu(Caption(QString("Setup"), 'S'));
    Port = setup->addAction(QString());
    Port->setObjectName("COMM");
    BindAction(Port, engine_.state().COMM, 'P');
    buildAutoDownload(setup);
    buildDateFormat(setup);
    EditUserInformation = AddItem(setup, "Edit User Information", 'E', "EditUserInformation");
    connect(EditUserInformation, &QAction::triggered, this,
            [this] { engine_.userInfo().UserInformation1Click(); });
}

// Not one of the designed menus: figures of the readings, opened beside the chart.
void MainMenuView::buildChart(QMenuBar* bar) {
    QMenu* chart = bar->addMenu(Caption(QString("Chart"), 'C'));
    Statistics = AddItem(chart, "Statistics...", 'S', "Statistics", QKeySequence("Ctrl+T"));
    Alerts = AddItem(chart, "Alerts...", 'A', "Alerts");
    chart->addSeparator();
    OverlayLoader& overlays = engine_.overlayLoader();
    OverlayFile =
        AddItem(chart, "Overlay File...", 'O', "OverlayFile", QKeySequence("Ctrl+Shift+O"));
    connect(OverlayFile, &QAction::triggered, this, [&overlays] { overlays.OverlayFileClick(); });
    ClearOverlays = AddItem(chart, "Clear Overlays", 'C', "ClearOverlays");
    connect(ClearOverlays, &QAction::triggered, this,
            [&overlays] { overlays.ClearOverlaysClick(); });
    // Clearing is offered while there is something to clear.
    QPointer<QAction> clear(ClearOverlays);
    const ChartOverlays& shown = engine_.chart().Overlays;
    auto apply = [clear, &shown] {
        if (clear) clear->setEnabled(!shown.empty());
    };
    apply();
    engine_.chart().Overlays.subscribe(apply);
}

QMenu* MainMenuView::buildAutoDownload(QMenu* setup) {
    State& s = engine_.state();
    ScheduleMenu& schedule = engine_.scheduleMenu();
    QMenu* menu = setup->addMenu(Caption(QString("Auto Download"), 'A'));
    for (const auto& [control, key, name] :
         {std::tuple{&s.C1, '1', "C1"}, std::tuple{&s.C2, '2', "C2"}})
        AddHandledItem(menu, *control, key, name,
                       [&schedule, control] { schedule.ChannelClick(*control); });
    menu->addSeparator();
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    group->addAction(
        AddHandledItem(menu, s.AutoOff, 'O', "AutoOff", [&schedule] { schedule.AutoOffClick(); }));
    const std::tuple<Control*, char, const char*> intervals[] = {
        {&s.Auto1hour, 'h', "Auto1hour"}, {&s.Auto4hours, '4', "Auto4hours"},
        {&s.Auto8hrs, '8', "Auto8hrs"},   {&s.Auto24hrs, 'u', "Auto24hrs"},
        {&s.Auto7day, '7', "Auto7day"},   {&s.Auto30day, '3', "Auto30day"}};
    for (const auto& [control, key, name] : intervals)
        group->addAction(AddHandledItem(
            menu, *control, key, name, [&schedule, control] { schedule.IntervalClick(*control); }));
    return menu;
}

QMenu* MainMenuView::buildDateFormat(QMenu* setup) {
    State& s = engine_.state();
    // The eight formats share their letters: their items are reached with the arrow keys.
    QMenu* menu = setup->addMenu(Caption(QString("Date Format"), 'D'));
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
    QMenu* help = bar->addMenu(Caption(QString("Help"), 'H'));
    About = AddItem(help, "About", 'A', "About");
    AddItem(help, "FAQ", 'F', "FAQ")->setEnabled(false);
    AddItem(help, "Upgrade ZL unit", 'U', "UpgradeZL")->setEnabled(false);
    DiagnosticsMode = help->addAction(QString());
    DiagnosticsMode->setObjectName("DiagnosticsMode");
    DiagnosticsMode->setCheckable(true);
    Control& diagnostics = engine_.state().DiagnosticsMode;
    BindAction(DiagnosticsMode, diagnostics, 'D');
    connect(DiagnosticsMode, &QAction::triggered, this, [this, &diagnostics] {
        diagnostics.setChecked(!diagnostics.checked());
        DiagnosticsMode->setChecked(diagnostics.checked());
    });
}

} // namespace zantrel
