#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace zantrel {

// What the engine asks of the world around it: modal message boxes and dialogs, and
// repainting. The window implements it with real dialogs; tests and the command-line
// tool give scripted answers. Every call may run a nested event loop, so the engine
// holds reader hand-offs while one is open (see HandoffQueue).
class Host {
  public:
    // The answers to a question whether to save the chart before it is cleared.
    enum class SaveFirst { Save, Discard, Cancel };

    virtual ~Host() = default;
    // A modal box with an OK button.
    virtual void messageBox(const QByteArray& title, const QByteArray& text) = 0;
    // A modal question with Save, Discard and Cancel buttons. A host without a user keeps
    // the old way: the chart goes.
    virtual SaveFirst askSaveFirst(const QByteArray& /*text*/) { return SaveFirst::Discard; }
    // Paint the window now: status texts that must show before a long step, the window
    // whole again before a fixed pause.
    virtual void repaint() {}

    // The save dialog (chart files: "Comma Delimited (.csv)|*.csv|Text file (.txt)|*.txt",
    // default extension "csv"): the chosen full path, or nothing when cancelled.
    virtual std::optional<QByteArray> saveFileDialog() { return std::nullopt; }
    // The open dialog ("Encrypted file (.zlx)|*.zlx|All Types (*.*)|*.*").
    virtual std::optional<QByteArray> openFileDialog() { return std::nullopt; }
    // The open dialog for several files at once, showing the duplicates and their numbered
    // pieces together ("Chart files (.zlx, .zxl)|*.zlx;*.zxl|All files (*)"): the chosen full
    // paths, or none when cancelled.
    virtual QList<QByteArray> openFilesDialog() { return {}; }
    // The open dialog for one file of a month's automatic downloads, showing the plain chart
    // files, the duplicates and the numbered pieces ("Monthly chart files (T*.csv, T*.zlx,
    // T*.zxl)|T*.csv;T*.zlx;T*.zxl|All files (*)"). Answered as the plain open dialog unless a
    // host shows its own.
    virtual std::optional<QByteArray> openMonthDialog() { return openFileDialog(); }
    // The save dialog for a report ("PDF file (.pdf)|*.pdf", default extension "pdf"): the
    // chosen full path, or nothing when cancelled.
    virtual std::optional<QByteArray> saveReportDialog() { return std::nullopt; }
    // The save dialog for an export: filter as "CSV file (.csv) (*.csv)", the default
    // extension without its dot; the chosen full path, or nothing when cancelled.
    virtual std::optional<QByteArray> saveExportDialog(const QString& filter,
                                                       const QString& suffix) {
        (void)filter;
        (void)suffix;
        return std::nullopt;
    }
    // The print dialog: true when the user confirmed a printer.
    virtual bool printDialog() { return false; }
    // Prints the chart as it is now on one landscape page (margins 5 on every side) with
    // the printer chosen last, restoring the printer's orientation afterwards.
    virtual void printChart() {}
    // The tip of the notification-area icon, while the icon is shown.
    virtual void setTrayTip(const QByteArray& /*text*/) {}
};

} // namespace zantrel
