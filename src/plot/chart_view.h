#pragma once

#include "plot/limit_band_view.h"
#include "plot/mark_ticker.h"
#include "plot/overlay_graphs_view.h"
#include "plot/series_graphs_view.h"

#include <qcustomplot.h>

#include <memory>

class QRubberBand;
class QToolButton;

namespace zantrel {

struct ChartModel;

// The chart as the engine's chart model describes it: temperature on the left and bottom
// axes, humidity on the right and top axes with the event marks as top-axis labels, the
// title above and the foot lines below. Overlaid files are drawn on the same axes, with a
// legend while any is on, and the allowed band under the series when a limit is set. New points are
// appended as they arrive and the plot is redrawn at most once per event-loop turn.
//
// Mouse: a left drag from top left to bottom right zooms into the rectangle; a left drag
// towards the top left goes back to the full range; a right drag pans the time axis; the
// wheel zooms the time axis around the pointer; the pointer held over a line shows the
// nearest reading. Keys: + and - zoom the time axis, the arrow keys pan it, Home (or the
// "Reset Zoom" button) shows the full range again. Each zoom and pan is reported to the model.
class ChartView : public QCustomPlot {
    Q_OBJECT
  public:
    explicit ChartView(ChartModel& chart, QWidget* parent = nullptr);

    // Brings the plot up to date with the model now (normally done once per event-loop turn).
    void syncNow();
    // Draws the chart into rect of painter, sized to rect, as on screen (for printing).
    void renderTo(QCPPainter& painter, const QRect& rect);

    const SeriesGraphs& temperatureGraphs() const { return *series1_; }
    const SeriesGraphs& humidityGraphs() const { return *series2_; }
    const OverlayGraphs& overlayGraphs() const { return *overlays_; }
    const LimitBand& limitBand() const { return *limits_; }
    bool zoomed() const { return zoomedTime_ || zoomedTemperature_; }
    // What the pointer at pos shows: the nearest reading when pos is over a line, else empty.
    QString readoutAt(const QPoint& pos) const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setUpAxes();
    void setUpTexts();
    void scheduleSync();
    void syncSeries();
    void syncTopLabels();
    // Whether the main chart's own readings take part in the automatic ranges: not while an
    // overlay is drawn over a chart without readings.
    bool mainShown() const;
    void applyTimeRange();
    void applyTemperatureRange();
    void applyHumidityAxis();
    void applyTexts();
    void zoomTo(const QPoint& from, const QPoint& to);
    void unzoom();
    // Scales the time range by factor around the time at pixel x (below 1 zooms in).
    void zoomTimeAround(double factor, double x);
    void panTime(double fraction);
    void showZoomState();

    ChartModel& chart_;
    std::unique_ptr<SeriesGraphs> series1_;
    std::unique_ptr<SeriesGraphs> series2_;
    std::unique_ptr<OverlayGraphs> overlays_;
    std::unique_ptr<LimitBand> limits_;
    QSharedPointer<QCPAxisTickerDateTime> timeTicker_;
    QSharedPointer<MarkTicker> markTicker_;
    QCPTextElement* title_ = nullptr;
    QCPTextElement* foot_ = nullptr;
    size_t marksShown_ = 0;

    bool syncPending_ = false;
    bool temperatureAxisChanged_ = true;
    bool zoomedTime_ = false;
    bool zoomedTemperature_ = false;

    QRubberBand* band_ = nullptr;
    QToolButton* reset_ = nullptr;
    QPoint pressPos_;
    QPoint panPos_;
    Qt::MouseButton dragButton_ = Qt::NoButton;
};

} // namespace zantrel
