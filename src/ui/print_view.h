#pragma once

#include <QPrinter>
#include <QString>
#include <functional>

class QWidget;

namespace zantrel {

class ChartView;

// Printing the chart: the print dialog for a printer kept between prints (so the user's
// choices stay), and the chart with its foot on one landscape page.
class PrintView {
  public:
    explicit PrintView(ChartView& chart);

    QPrinter& printer() { return printer_; }

    // Shows the print dialog; true when the user confirmed. Until the user has printed to a
    // file, a printout to a PDF is offered in folder.
    bool exec(QWidget* parent, const QString& folder);
    // Replaces the print dialog, for tests: it may set up the printer and answers as the
    // user would.
    void setDialog(std::function<bool(QPrinter&)> dialog) { dialog_ = std::move(dialog); }

    // Prints the chart as it is now on one landscape page with 5 mm margins, then puts the
    // printer's orientation back. False when the printer or file could not be opened.
    bool print();

  private:
    ChartView& chart_;
    QPrinter printer_;
    std::function<bool(QPrinter&)> dialog_;
};

} // namespace zantrel
