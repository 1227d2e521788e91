#pragma once

#include "chart/chart_statistics.h"

#include <QString>

class QPagedPaintDevice;

namespace zantrel {

class Engine;

// What a compliance report covers and how it shows it. The band and the activation energy are
// Celsius and kJ/mol as stored; fahrenheit only changes how temperatures are printed. With a
// reviewer the review block prints the name, the time the report was made and the meaning;
// without one it leaves lines to fill in and sign by hand.
struct ReportOptions {
    TimeRange range;
    StatisticsOptions figures;
    bool fahrenheit = false;
    QString reviewer;
    QString meaning;
};

// Lays out and paints the report of the engine's chart (its readings in range, the user
// information, the files loaded and whether every one was an encrypted duplicate) onto device,
// a QPdfWriter or a QPrinter, in its page layout, with "Page n of m" on every page. The chart is
// drawn as on screen when the device has the screen's 96 dots per inch (a QPrinter made with
// QPrinter::ScreenResolution); text and tables suit any resolution. The time the
// report was made is the engine's clock. Needs a QApplication (the chart is drawn by the chart
// view, off screen). Empty on success, else the failure text (a chart without readings is
// one).
QString PaintComplianceReport(Engine& engine, const ReportOptions& options,
                              QPagedPaintDevice& device);

// The report as a PDF file at path: written beside it and put in its place only when complete,
// so a failure leaves no partial file and any file already there as it was; a folder or a
// device of that name is refused. Empty on success, else the failure text ("Cannot write
// report.pdf: Permission denied.").
QString WriteComplianceReportPdf(Engine& engine, const ReportOptions& options, const QString& path);

} // namespace zantrel
