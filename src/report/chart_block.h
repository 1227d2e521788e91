#pragma once

#include <QByteArray>

namespace zantrel {

class PageFlow;
struct ReadingsStore;
struct ReportFigures;
struct ReportOptions;

// The chart of the period across the page, height points tall, as the chart view draws it:
// the temperatures (and the humidity when the chart carries it) of the readings in the
// period with their event marks, the band's limits as lines and the excursions shaded, in the
// report's unit; times labelled in timeLabelFormat (the chart's). Needs a QApplication.
void DrawChartBlock(PageFlow& flow, const ReadingsStore& store, const ReportFigures& figures,
                    const ReportOptions& options, bool humidity, const QByteArray& timeLabelFormat,
                    double height);

} // namespace zantrel
