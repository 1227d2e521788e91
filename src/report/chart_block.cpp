#include "report/chart_block.h"

#include "chart/chart_model.h"
#include "chart/readings_drawing.h"
#include "chart/readings_store.h"
#include "plot/chart_view.h"
#include "report/compliance_report.h"
#include "report/page_flow.h"
#include "report/report_figures.h"
#include "report/report_text.h"

#include <algorithm>

namespace zantrel {

namespace {

// The chart view draws in screen pixels, 96 to the inch; the report lays out in points.
constexpr double kPointsPerPixel = 72.0 / 96.0;

// The readings and events of store in period.
ReadingsStore PeriodReadings(const ReadingsStore& store, const TimeRange& period) {
    const std::vector<double>& times = store.ReadingTimes;
    const auto from = static_cast<std::size_t>(
        std::lower_bound(times.begin(), times.end(), period.from) - times.begin());
    const auto to = static_cast<std::size_t>(
        std::upper_bound(times.begin(), times.end(), period.to) - times.begin());
    ReadingsStore part;
    const auto copy = [from, to](const auto& all, auto& some) {
        if (from < all.size())
            some.assign(all.begin() + from, all.begin() + std::min(to, all.size()));
    };
    copy(store.ReadingTimes, part.ReadingTimes);
    copy(store.Temperatures, part.Temperatures);
    copy(store.Humidities, part.Humidities);
    for (int kind = 0; kind < EventKindCount; ++kind)
        for (const double t : store.Events[kind])
            if (t >= period.from && t <= period.to) part.Events[kind].push_back(t);
    return part;
}

void FillModel(ChartModel& model, const ReadingsStore& readings, const ReportFigures& figures,
               const ReportOptions& options, bool humidity, const QByteArray& timeLabelFormat) {
    DrawReadings(readings, options.fahrenheit, humidity, model);
    // The chart's unit, in which the view draws the limit lines.
    model.Overlays.setFahrenheit(options.fahrenheit);
    model.Title =
        options.fahrenheit ? "Temperature, degrees Fahrenheit" : "Temperature, degrees Celsius";
    model.setFoot({});
    model.setTimeLabelFormat(timeLabelFormat);
    model.BottomAxis.setRange(figures.period.from, figures.period.to);
    model.BottomAxis.setAutomatic(false);
    model.LeftAxis.setAutomatic(true);
    model.RightAxis.setVisible(humidity);
    std::vector<ShadedSpan> spans;
    for (const ExcursionPeriod& e : figures.excursions.periods)
        spans.push_back({e.start, e.end, e.side == BandSide::Above});
    model.Limits.set(options.figures.low, options.figures.high, std::move(spans));
}

} // namespace

void DrawChartBlock(PageFlow& flow, const ReadingsStore& store, const ReportFigures& figures,
                    const ReportOptions& options, bool humidity, const QByteArray& timeLabelFormat,
                    double height) {
    const ReadingsStore readings = PeriodReadings(store, figures.period);
    if (readings.ReadingTimes.empty()) {
        DrawHeading(flow, "Chart", flow.lineHeight(flow.fonts().body));
        DrawParagraph(flow, "No readings in the period.");
        return;
    }
    DrawHeading(flow, "Chart", height);
    if (QCPPainter* painter = flow.painter()) {
        ChartModel model;
        FillModel(model, readings, figures, options, humidity, timeLabelFormat);
        ChartView view(model);
        painter->save();
        painter->translate(0, flow.top());
        painter->scale(kPointsPerPixel, kPointsPerPixel);
        view.renderTo(*painter, QRect(0, 0, static_cast<int>(flow.width() / kPointsPerPixel),
                                      static_cast<int>(height / kPointsPerPixel)));
        painter->restore();
    }
    flow.advance(height);
}

} // namespace zantrel
