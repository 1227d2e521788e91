#pragma once

#include "core/host.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace zantrel {

class HandoffQueue;

// The host's modal boxes and dialogs as the subsystems open them: reader hand-offs are held
// while each one is open, so no handler is entered twice from its nested event loop.
class Dialogs {
  public:
    Dialogs(Host& host, HandoffQueue& handoffs) : host_(host), handoffs_(handoffs) {}

    // A modal message box titled "Problem".
    void problem(const QByteArray& text);
    // The question with Save, Discard and Cancel buttons.
    Host::SaveFirst askSaveFirst(const QByteArray& text);
    std::optional<QByteArray> saveFile();
    std::optional<QByteArray> openFile();
    // Several files at once; none when cancelled.
    QList<QByteArray> openFiles();
    // One file of a month's automatic downloads.
    std::optional<QByteArray> openMonthFile();
    std::optional<QByteArray> saveReportFile();
    std::optional<QByteArray> saveExportFile(const QString& filter, const QString& suffix);
    bool print();
    void printChart();

  private:
    Host& host_;
    HandoffQueue& handoffs_;
};

} // namespace zantrel
