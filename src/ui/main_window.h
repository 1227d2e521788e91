#pragma once

#include "core/host.h"
#include "engine/engine.h"

#include <QMainWindow>
#include <memory>

class QLineEdit;
class QProgressBar;
class QStackedWidget;

namespace zantrel {

class Clock;
class ChartView;
class DiagnosticsView;
class MainMenuView;
class PrintView;
class ExportDialog;
class ReportDialog;
class RealClock;
class StatisticsWindow;
class StatusLineView;
class TrayView;
class WindowAlerts;
class ScheduleMemory;

// The main window. It owns the engine, shows its state and hands the user's actions to
// it; the engine decides. It is also the engine's host for message boxes, the file
// dialogs and printing.
class TForm1 : public QMainWindow, public Host {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    // For tests: the engine runs on the given clock.
    explicit TForm1(Clock& clock, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up, once the window is built: settingsFolder is the working directory,
    // arguments the program's arguments after its name; a given port is used for this
    // run only, instead of the stored one.
    void FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                    const std::optional<QByteArray>& port = std::nullopt);

    Engine& engine() { return engine_; }
    ChartView* chartView() const { return chart_; }
    DiagnosticsView* diagnosticsView() const { return diagnostics_; }
    MainMenuView* menus() const { return menus_; }
    PrintView& printView() const { return *print_; }
    // Chart, "Statistics": created on first use, then shown again.
    StatisticsWindow* showStatistics();
    // File, "Report...": a new report dialog, open over the window.
    ReportDialog* showReport();
    // File, "Export...": a new export dialog, open over the window.
    ExportDialog* showExport();
    QLineEdit* statusEdit() const;
    QProgressBar* progressBar() const;
    TrayView& tray() const { return *tray_; }
    // The alerts of automatic downloads; Chart, "Alerts..." shows them.
    WindowAlerts& alerts() const { return *alerts_; }

    // Host.
    void messageBox(const QByteArray& title, const QByteArray& text) override;
    SaveFirst askSaveFirst(const QByteArray& text) override;
    void repaint() override;
    std::optional<QByteArray> saveFileDialog() override;
    std::optional<QByteArray> openFileDialog() override;
    QList<QByteArray> openFilesDialog() override;
    std::optional<QByteArray> openMonthDialog() override;
    std::optional<QByteArray> saveReportDialog() override;
    std::optional<QByteArray> saveExportDialog(const QString& filter,
                                               const QString& suffix) override;
    bool printDialog() override;
    void printChart() override;
    void setTrayTip(const QByteArray& text) override;

  signals:
    // The window was closed or "Quit" chosen in the tray's menu: the program ends.
    void closed();
    // Help, "About" and Setup, "Port": the dialogs are created beside the window.
    void aboutRequested();
    void portRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    TForm1(std::unique_ptr<RealClock> ownClock, Clock* clock, QWidget* parent);
    void buildWindow();
    QWidget* buildPanels();
    void bindCaption();
    void bindDiagnosticsMode();
    void centreOnScreen();

    std::unique_ptr<RealClock> ownClock_;
    // Outlives the engine, whose state it listens to.
    std::unique_ptr<ScheduleMemory> schedule_;
    Engine engine_;
    MainMenuView* menus_ = nullptr;
    QStackedWidget* centre_ = nullptr;
    ChartView* chart_ = nullptr;
    DiagnosticsView* diagnostics_ = nullptr;
    StatusLineView* status_ = nullptr;
    TrayView* tray_ = nullptr;
    WindowAlerts* alerts_ = nullptr;
    std::unique_ptr<PrintView> print_;
    StatisticsWindow* statistics_ = nullptr;
};

} // namespace zantrel
