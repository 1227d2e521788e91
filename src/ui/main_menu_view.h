#pragma once

#include <QObject>
#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace zantrel {

class Engine;

// The main window's menus. Items follow their controls; clicks go to the engine, except
// those that open windows, which the main window connects.
class MainMenuView : public QObject {
    Q_OBJECT
  public:
    MainMenuView(QMenuBar* bar, Engine& engine);

    QAction* LoadChart = nullptr;
    QAction* LoadMonth = nullptr;
    QAction* SaveChart = nullptr;
    QAction* NewClear = nullptr;
    QAction* PrintChart = nullptr;
    QAction* Report = nullptr; // enabled while the chart has readings
    QAction* Export = nullptr; // likewise
    QAction* Exit = nullptr;
    QAction* Port = nullptr;
    QAction* EditUserInformation = nullptr;
    QAction* Statistics = nullptr;
    QAction* Alerts = nullptr;
    QAction* OverlayFile = nullptr;
    QAction* ClearOverlays = nullptr;
    QAction* About = nullptr;
    QAction* DiagnosticsMode = nullptr;
    std::array<QAction*, 8> DateFormats{};

  private:
    void buildFile(QMenuBar* bar);
    void buildSetup(QMenuBar* bar);
    QMenu* buildAutoDownload(QMenu* setup);
    QMenu* buildDateFormat(QMenu* setup);
    void buildChart(QMenuBar* bar);
    void buildHelp(QMenuBar* bar);

    Engine& engine_;
};

} // namespace zantrel
