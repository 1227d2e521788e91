#include "report/compliance_report.h"

#include "chart/chart_model.h"
#include "chart/statistics_report.h"
#include "core/clock.h"
#include "core/state.h"
#include "engine/engine.h"
#include "files/atomic_file.h"
#include "files/chart_file_loader.h"
#include "report/chart_block.h"
#include "report/page_flow.h"
#include "report/report_blocks.h"
#include "report/report_figures.h"
#include "zantrel_version.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QPdfWriter>
#include <qcustomplot.h>

#include <cerrno>

namespace zantrel {

namespace {

// The chart's height on the page, points: about a third of an A4 page.
constexpr double kChartHeight = 250;
// The PDF's resolution: that of the screen, so the chart is drawn as the window draws it.
constexpr int kPdfResolution = 96;
constexpr double kMarginMm = 15;

ReportSource SourceOf(Engine& engine) {
    const State& s = engine.state();
    return {s.UnitId,
            s.UserName,
            s.UserLocation,
            engine.loader().loadedFiles(),
            s.FileEncryptFlag.checked(),
            s.DATEFORMAT.text(),
            engine.clock().now()};
}

// Every block in order down the pages.
void LayOut(PageFlow& flow, Engine& engine, const ReportOptions& options,
            const ReportFigures& figures, const ReportSource& source) {
    DrawTitleBlock(flow, source, figures, options);
    DrawChartBlock(flow, engine.readings(), figures, options, engine.state().RHZL.checked(),
                   engine.chart().TimeLabelFormat, kChartHeight);
    DrawStatisticsBlock(flow, source, figures, options);
    DrawExcursionBlock(flow, source, figures, options);
    DrawEventsBlock(flow, source, figures);
    DrawDailyBlock(flow, source, figures, options);
    DrawIntegrityBlock(flow, source, figures);
    DrawReviewBlock(flow, source, options);
}

} // namespace

QString PaintComplianceReport(Engine& engine, const ReportOptions& options,
                              QPagedPaintDevice& device) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return "The report needs a QApplication to draw its chart.";
    if (engine.readings().ReadingTimes.empty()) return "There are no readings to report.";
    const ReportFigures figures =
        GatherReportFigures(engine.readings(), options, engine.state().RHZL.checked());
    const ReportSource source = SourceOf(engine);
    const QString foot =
        QString("Zantrel %1 compliance report, ZL ID %2, made %3")
            .arg(ZANTREL_VERSION,
                 source.unitId.isEmpty() ? QString("-") : QString::fromUtf8(source.unitId),
                 QString::fromUtf8(TimeText(source.madeAt, source.datePattern)));

    PageFlow count(device, nullptr, 0, foot);
    LayOut(count, engine, options, figures, source);
    const int pages = count.finish();

    QCPPainter painter;
    if (!painter.begin(&device)) return "Cannot paint the report.";
    painter.setMode(QCPPainter::pmVectorized);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    PageFlow flow(device, &painter, pages, foot);
    LayOut(flow, engine, options, figures, source);
    flow.finish();
    painter.end();
    return {};
}

QString WriteComplianceReportPdf(Engine& engine, const ReportOptions& options,
                                 const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto failure = [&name](const QString& why) {
        return QString("Cannot write %1: %2.").arg(name, why);
    };
    // A folder or a device under that name is never replaced.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) return failure("it is not a regular file");
    AtomicFile file(QFile::encodeName(path));
    if (!file.open()) return failure(qt_error_string(errno));
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setCreator("Zantrel " ZANTREL_VERSION);
        writer.setTitle("Temperature Compliance Report");
        const QString painted = PaintComplianceReport(engine, options, writer);
        if (!painted.isEmpty()) return painted;
    }
    file.append(pdf.data());
    if (!file.commit()) return failure(qt_error_string(errno));
    return {};
}

} // namespace zantrel
