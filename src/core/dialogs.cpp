#include "core/dialogs.h"

#include "core/handoff_queue.h"
#include "core/host.h"

namespace zantrel {

void Dialogs::problem(const QByteArray& text) {
    ModalScope modal(handoffs_);
    host_.messageBox("Problem", text);
}

Host::SaveFirst Dialogs::askSaveFirst(const QByteArray& text) {
    ModalScope modal(handoffs_);
    return host_.askSaveFirst(text);
}

std::optional<QByteArray> Dialogs::saveFile() {
    ModalScope modal(handoffs_);
    return host_.saveFileDialog();
}

std::optional<QByteArray> Dialogs::openFile() {
    ModalScope modal(handoffs_);
    return host_.openFileDialog();
}

QList<QByteArray> Dialogs::openFiles() {
    ModalScope modal(handoffs_);
    return host_.openFilesDialog();
}

std::optional<QByteArray> Dialogs::openMonthFile() {
    ModalScope modal(handoffs_);
    return host_.openMonthDialog();
}

std::optional<QByteArray> Dialogs::saveReportFile() {
    ModalScope modal(handoffs_);
    return host_.saveReportDialog();
}

std::optional<QByteArray> Dialogs::saveExportFile(const QString& filter, const QString& suffix) {
    ModalScope modal(handoffs_);
    return host_.saveExportDialog(filter, suffix);
}

bool Dialogs::print() {
    ModalScope modal(handoffs_);
    return host_.printDialog();
}

void Dialogs::printChart() {
    ModalScope printing(handoffs_);
    host_.printChart();
}

} // namespace zantrel
