#include "ui/main_window.h"
#include "core/control.h"
#include "core/handoff_queue.h"
#include "core/state.h"
#include "files/unsaved_chart_guard.h"

#include "core/clock.h"
#include "plot/chart_view.h"
#include "ui/binding_view.h"
#include "ui/diagnostics_view.h"
#include "ui/export_dialog.h"
#include "ui/help_panel_view.h"
#include "ui/limit_band_feed.h"
#include "ui/main_menu_view.h"
#include "ui/preferences_panel_view.h"
#include "ui/print_view.h"
#include "ui/report_dialog.h"
#include "ui/schedule_memory.h"
#include "ui/statistics_window.h"
#include "ui/status_line_view.h"
#include "ui/tray_view.h"
#include "ui/upload_panel_view.h"
#include "ui/window_alerts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zantrel {

namespace {

constexpr int kClientWidth = 797;
constexpr int kClientHeight = 590;
constexpr int kChartHeight = 419;
constexpr const char* kChartFilters = "Comma Delimited (.csv) (*.csv);;Text file (.txt) (*.txt)";
constexpr const char* kReportFilters = "PDF file (.pdf) (*.pdf)";
constexpr const char* kLoadFilters = "Encrypted file (.zlx) (*.zlx);;All Types (*)";
// A month lives in its duplicate and its numbered pieces: the first filter shows them together.
constexpr const char* kLoadManyFilters = "Chart files (.zlx, .zxl) (*.zlx *.zxl);;All files (*)";
// Any one file of a month names the month: the automatic downloads' names begin with "T".
constexpr const char* kLoadMonthFilters =
    "Monthly chart files (T*.csv, T*.zlx, T*.zxl) (T*.csv T*.zlx T*.zxl);;All files (*)";

// The chosen files of a file dialog that ran modally; none when it was cancelled.
QList<QByteArray> ChosenFiles(QFileDialog& dialog) {
    QList<QByteArray> files;
    if (dialog.exec() != QDialog::Accepted) return files;
    for (const QString& file : dialog.selectedFiles())
        files.append(QFile::encodeName(file));
    return files;
}

// The chosen file of a file dialog that ran modally, or nothing when it was cancelled.
std::optional<QByteArray> ChosenFile(QFileDialog& dialog) {
    const QList<QByteArray> files = ChosenFiles(dialog);
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

// An open dialog for existing files of the given types.
void SetUpOpenDialog(QFileDialog& dialog, QFileDialog::FileMode mode, const char* filters) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    dialog.setNameFilter(filters);
}

} // namespace

TForm1::TForm1(QWidget* parent) : TForm1(std::make_unique<RealClock>(), nullptr, parent) {}

TForm1::TForm1(Clock& clock, QWidget* parent) : TForm1(nullptr, &clock, parent) {}

TForm1::TForm1(std::unique_ptr<RealClock> ownClock, Clock* clock, QWidget* parent)
    : QMainWindow(parent), ownClock_(std::move(ownClock)),
      engine_(clock ? *clock : *ownClock_, *this, ChartPauses::Keep) {
    buildWindow();
}

// The engine goes first (its destructor resets the session and closes the port) while
// every widget that follows it still exists. Open dialogs are hidden before it goes: hiding
// one takes the focus from its fields, and a field that finishes its edit then (a statistics
// limit) still has the engine's settings to write to.
TForm1::~TForm1() {
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        dialog->hide();
}

void TForm1::buildWindow() {
    State& state = engine_.state();
    menus_ = new MainMenuView(menuBar(), engine_);
    tray_ = new TrayView(*this, state);
    connect(menus_->Exit, &QAction::triggered, this, &QWidget::close);
    connect(tray_, &TrayView::quitRequested, this, &QWidget::close);
    connect(menus_->About, &QAction::triggered, this, &TForm1::aboutRequested);
    connect(menus_->Port, &QAction::triggered, this, &TForm1::portRequested);
    connect(menus_->Statistics, &QAction::triggered, this, &TForm1::showStatistics);
    connect(menus_->Report, &QAction::triggered, this, &TForm1::showReport);
    connect(menus_->Export, &QAction::triggered, this, &TForm1::showExport);
    alerts_ = new WindowAlerts(engine_, *tray_, *this);
    schedule_ = std::make_unique<ScheduleMemory>(engine_);
    connect(menus_->Alerts, &QAction::triggered, alerts_, &WindowAlerts::showAlerts);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    centre_ = new QStackedWidget(client);
    chart_ = new ChartView(engine_.chart(), centre_);
    chart_->setObjectName("Chart1");
    diagnostics_ = new DiagnosticsView(state, centre_);
    centre_->addWidget(chart_);
    centre_->addWidget(diagnostics_);
    centre_->setMinimumHeight(kChartHeight / 2);
    layout->addWidget(centre_, 1);
    layout->addWidget(buildPanels());
    status_ = new StatusLineView(state, client);
    layout->addWidget(status_);
    setCentralWidget(client);
    print_ = std::make_unique<PrintView>(*chart_);
    new LimitBandFeed(engine_, this); // a child of the window

    bindCaption();
    bindDiagnosticsMode();
    const int chrome = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + chrome);
    // The chart takes what the panels leave of the designed client area.
    centre_->resize(kClientWidth, kChartHeight);
    centreOnScreen();
}

QWidget* TForm1::buildPanels() {
    auto* panels = new QWidget(this);
    auto* row = new QHBoxLayout(panels);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(new UploadPanelView(engine_, panels), 3);
    row->addWidget(new PreferencesPanelView(engine_, panels), 1);
    auto* help = new HelpPanelView(engine_.state(), panels);
    connect(help, &HelpPanelView::hideRequested, tray_, &TrayView::hideToTray);
    row->addWidget(help, 2);
    return panels;
}

// Closing ends the program, also while the window is hidden in the tray; a chart that is not
// saved is asked about first (Exit, the close box and the tray's "Quit" all come here).
void TForm1::closeEvent(QCloseEvent* event) {
    if (!engine_.unsavedGuard().mayClear()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void TForm1::setTrayTip(const QByteArray& text) {
    tray_->SetTrayTip(text);
}

void TForm1::bindCaption() {
    QPointer<TForm1> self(this);
    Control& caption = engine_.state().Caption;
    auto apply = [self, &caption] {
        if (self) self->setWindowTitle(Latin1(caption.text()));
    };
    apply();
    caption.subscribe(apply);
}

// Diagnostics mode shows the session's hidden values in the chart's place.
void TForm1::bindDiagnosticsMode() {
    QPointer<TForm1> self(this);
    Control& mode = engine_.state().DiagnosticsMode;
    auto apply = [self, &mode] {
        if (!self) return;
        self->centre_->setCurrentWidget(mode.checked() ? static_cast<QWidget*>(self->diagnostics_)
                                                       : static_cast<QWidget*>(self->chart_));
    };
    apply();
    mode.subscribe(apply);
}

void TForm1::centreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm1::FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                        const std::optional<QByteArray>& port) {
    engine_.FormCreate(settingsFolder, arguments, port);
    schedule_->resume();
}

StatisticsWindow* TForm1::showStatistics() {
    if (!statistics_) statistics_ = new StatisticsWindow(engine_, this);
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
    return statistics_;
}

ExportDialog* TForm1::showExport() {
    auto* dialog = new ExportDialog(engine_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

ReportDialog* TForm1::showReport() {
    auto* dialog = new ReportDialog(engine_, *print_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

QLineEdit* TForm1::statusEdit() const {
    return status_->statusEdit();
}

QProgressBar* TForm1::progressBar() const {
    return status_->progressBar();
}

void TForm1::messageBox(const QByteArray& title, const QByteArray& text) {
    ModalScope modal(engine_.handoffs());
    QMessageBox box(QMessageBox::NoIcon, Latin1(title), Latin1(text), QMessageBox::Ok, this);
    box.exec();
}

Host::SaveFirst TForm1::askSaveFirst(const QByteArray& text) {
    ModalScope modal(engine_.handoffs());
    QMessageBox box(QMessageBox::Question, Latin1(engine_.state().BaseCaption), Latin1(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveFirst::Save;
    case QMessageBox::Discard:
        return SaveFirst::Discard;
    default:
        return SaveFirst::Cancel;
    }
}

void TForm1::repaint() {
    QMainWindow::repaint();
}

// The ending follows the chosen type when the name has none.
std::optional<QByteArray> TForm1::saveFileDialog() {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kChartFilters);
    dialog.setDefaultSuffix("csv");
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.contains("*.txt") ? "txt" : "csv");
    });
    return ChosenFile(dialog);
}

std::optional<QByteArray> TForm1::saveReportDialog() {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kReportFilters);
    dialog.setDefaultSuffix("pdf");
    return ChosenFile(dialog);
}

std::optional<QByteArray> TForm1::saveExportDialog(const QString& filter, const QString& suffix) {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    return ChosenFile(dialog);
}

std::optional<QByteArray> TForm1::openFileDialog() {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    SetUpOpenDialog(dialog, QFileDialog::ExistingFile, kLoadFilters);
    return ChosenFile(dialog);
}

QList<QByteArray> TForm1::openFilesDialog() {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    SetUpOpenDialog(dialog, QFileDialog::ExistingFiles, kLoadManyFilters);
    return ChosenFiles(dialog);
}

std::optional<QByteArray> TForm1::openMonthDialog() {
    ModalScope modal(engine_.handoffs());
    QFileDialog dialog(this);
    SetUpOpenDialog(dialog, QFileDialog::ExistingFile, kLoadMonthFilters);
    return ChosenFile(dialog);
}

bool TForm1::printDialog() {
    ModalScope modal(engine_.handoffs());
    return print_->exec(this, QFile::decodeName(engine_.state().ThisAppDir.text()));
}

void TForm1::printChart() {
    if (!print_->print()) {
        messageBox("Problem", "Cannot print. Check the printer or the file name.");
        return;
    }
    // A printout to a file says where it went.
    const QPrinter& printer = print_->printer();
    if (printer.outputFormat() == QPrinter::PdfFormat)
        engine_.state().Edit1.setText("Chart printed to " +
                                      QFile::encodeName(printer.outputFileName()) + ".");
}

} // namespace zantrel
