#include "ui/print_view.h"

#include "plot/chart_view.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>

namespace zantrel {

namespace {

constexpr double kMarginMm = 5;

} // namespace

// Screen resolution keeps fonts, pens and the plot's proportions as they are on screen.
PrintView::PrintView(ChartView& chart) : chart_(chart), printer_(QPrinter::ScreenResolution) {}

bool PrintView::exec(QWidget* parent, const QString& folder) {
    if (dialog_) return dialog_(printer_);
    QPrintDialog dialog(&printer_, parent);
    // The toolkit offers the home folder when the current one lies outside it; the chart's
    // files belong in the program's own folder. The field keeps its text when the user
    // switches between a printer and the PDF.
    auto* file = dialog.findChild<QLineEdit*>("filename");
    if (file && printer_.outputFileName().isEmpty() && !folder.isEmpty()) {
        QString name = QFileInfo(file->text()).fileName();
        if (name.isEmpty()) name = "print.pdf";
        file->setText(QDir(folder).filePath(name));
    }
    return dialog.exec() == QDialog::Accepted;
}

bool PrintView::print() {
    const QPageLayout::Orientation remembered = printer_.pageLayout().orientation();
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                            QPageLayout::Millimeter);
    QCPPainter painter;
    const bool opened = painter.begin(&printer_);
    if (opened) {
        painter.setMode(QCPPainter::pmVectorized);
        const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
        chart_.renderTo(painter, QRect(QPoint(0, 0), page.size()));
        painter.end();
    }
    printer_.setPageOrientation(remembered);
    return opened;
}

} // namespace zantrel
