#include "plot/chart_view.h"

#include "chart/chart_model.h"
#include "plot/chart_label_format.h"
#include "plot/chart_readout.h"

#include <QKeyEvent>
#include <QRubberBand>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <cmath>
#include <cstdlib>

namespace zantrel {

namespace {

constexpr double kHalfDay = 43200.0; // seconds either side of a lone time
constexpr int kDragThreshold = 4;    // pixels a drag must move to count
constexpr int kHoverReach = 8;       // pixels from a reading's point that still show it
constexpr double kZoomStep = 0.8;    // one wheel notch or "+" shows this much of the range
constexpr double kPanStep = 0.1;     // an arrow key moves the range by this much of itself

QString JoinLines(const QList<QByteArray>& lines) {
    QStringList out;
    for (const QByteArray& line : lines)
        out << QString::fromLatin1(line);
    return out.join('\n');
}

Extent Union(const Extent& a, const Extent& b) {
    Extent e = a;
    if (b.found) {
        e.add(b.lo);
        e.add(b.hi);
    }
    return e;
}

} // namespace

ChartView::ChartView(ChartModel& chart, QWidget* parent) : QCustomPlot(parent), chart_(chart) {
    setLocale(QLocale::c());
    // Wide lines drawn as one polyline cost tens of milliseconds per redraw; as separate
    // segments they stay fast for the largest series.
    setPlottingHint(QCP::phFastPolylines, true);
    // The legend lists only the lines the overlays name.
    setAutoAddPlottableToLegend(false);
    setUpAxes();
    setUpTexts();
    series1_ = std::make_unique<SeriesGraphs>(this, xAxis, yAxis, Qt::red, 3, true);
    series2_ = std::make_unique<SeriesGraphs>(this, xAxis2, yAxis2, Qt::blue, 2, false);
    overlays_ = std::make_unique<OverlayGraphs>(this, xAxis, yAxis, yAxis2);
    limits_ = std::make_unique<LimitBand>(this, xAxis, yAxis);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    reset_ = new QToolButton(this);
    reset_->setObjectName("ResetZoom");
    reset_->setText("Reset Zoom");
    reset_->setToolTip("Show the whole chart again (Home)");
    connect(reset_, &QToolButton::clicked, this, [this] { unzoom(); });
    // The keys act on the chart once it has the focus: a click or the wheel gives it.
    setFocusPolicy(Qt::WheelFocus);
    setMouseTracking(true);

    QPointer<ChartView> self(this);
    auto schedule = [self] {
        if (self) self->scheduleSync();
    };
    chart_.subscribe(schedule);
    chart_.Series1.subscribe(schedule);
    chart_.Series2.subscribe(schedule);
    chart_.Overlays.subscribe(schedule);
    chart_.Limits.subscribe(schedule);
    chart_.BottomAxis.subscribe(schedule);
    chart_.RightAxis.subscribe(schedule);
    chart_.LeftAxis.subscribe([self] {
        if (!self) return;
        self->temperatureAxisChanged_ = true;
        self->scheduleSync();
    });
    syncNow();
}

void ChartView::setUpAxes() {
    timeTicker_.reset(new QCPAxisTickerDateTime);
    timeTicker_->setDateTimeSpec(Qt::UTC);
    xAxis->setTicker(timeTicker_);
    xAxis->grid()->setPen(QPen(QColor(140, 140, 140), 0, Qt::DotLine));

    yAxis->setLabel("TEMPERATURE");
    yAxis->setLabelColor(Qt::red);
    yAxis->setNumberFormat("f");
    yAxis->setNumberPrecision(2);
    yAxis->grid()->setPen(QPen(QColor(140, 140, 140), 0, Qt::DotLine));

    yAxis2->setLabel("%RH");
    yAxis2->setLabelColor(Qt::blue);
    QFont bold = yAxis2->labelFont();
    bold.setBold(true);
    yAxis2->setLabelFont(bold);
    yAxis2->grid()->setVisible(false);

    // The top axis carries the event marks of the humidity series at their times.
    markTicker_.reset(new MarkTicker(xAxis2));
    markTicker_->setSubTickCount(0);
    xAxis2->setVisible(true);
    xAxis2->setTicker(markTicker_);
    xAxis2->setTickLabels(true);
    xAxis2->grid()->setVisible(true);
    xAxis2->grid()->setPen(QPen(Qt::red, 0, Qt::DotLine));
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), xAxis2,
            qOverload<const QCPRange&>(&QCPAxis::setRange));
    // Whatever moves the time axis (zoom, pan, new points, the model) is reported back.
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange& range) {
                chart_.ShownTime.set(DayCountOfChartKey(range.lower),
                                     DayCountOfChartKey(range.upper));
            });
}

void ChartView::setUpTexts() {
    QFont titleFont = font();
    titleFont.setBold(true);
    plotLayout()->insertRow(0);
    title_ = new QCPTextElement(this, QString(), titleFont);
    plotLayout()->addElement(0, 0, title_);
    foot_ = new QCPTextElement(this, QString(), font());
    plotLayout()->addElement(2, 0, foot_);
}

void ChartView::scheduleSync() {
    if (syncPending_) return;
    syncPending_ = true;
    QTimer::singleShot(0, this, &ChartView::syncNow);
}

void ChartView::syncNow() {
    syncPending_ = false;
    syncSeries();
    applyTexts();
    applyTimeRange();
    applyTemperatureRange();
    applyHumidityAxis();
    showZoomState();
    replot(rpQueuedReplot);
}

void ChartView::syncSeries() {
    series1_->sync(chart_.Series1);
    series2_->sync(chart_.Series2);
    // A new session shows all of itself.
    if (series1_->rebuilt() || series2_->rebuilt()) zoomedTime_ = zoomedTemperature_ = false;
    overlays_->sync(chart_.Overlays, series1_->mainGraph(), series2_->mainGraph(),
                    chart_.RightAxis.visible);
    limits_->sync(chart_.Limits, chart_.Overlays.fahrenheit());
    syncTopLabels();
}

bool ChartView::mainShown() const {
    return overlays_->empty() || !chart_.Overlays.mainName().isEmpty();
}

void ChartView::syncTopLabels() {
    const auto& labels = chart_.Series2.labels();
    if (series2_->rebuilt() || labels.size() < marksShown_) {
        markTicker_->clear();
        marksShown_ = 0;
    }
    for (; marksShown_ < labels.size(); ++marksShown_) {
        const auto& [index, text] = labels[marksShown_];
        const double key = ChartKey(chart_.Series2.x(index));
        QString& tick = markTicker_->ticks()[key];
        if (!tick.isEmpty()) tick += '\n';
        tick += QString::fromLatin1(text);
    }
}

void ChartView::applyTexts() {
    const QString format = ToChartLabelFormat(chart_.TimeLabelFormat);
    if (timeTicker_->dateTimeFormat() != format) timeTicker_->setDateTimeFormat(format);
    title_->setText(QString::fromLatin1(chart_.Title));
    foot_->setText(JoinLines(chart_.Foot));
}

void ChartView::applyTimeRange() {
    if (zoomedTime_) return;
    const AxisState& axis = chart_.BottomAxis;
    if (!axis.automatic) {
        xAxis->setRange(ChartKey(axis.minimum), ChartKey(axis.maximum));
        return;
    }
    const Extent keys = Union(mainShown() ? Union(series1_->keys(), series2_->keys()) : Extent(),
                              overlays_->keys());
    if (!keys.found) return;
    if (keys.lo == keys.hi)
        xAxis->setRange(keys.lo - kHalfDay, keys.hi + kHalfDay);
    else
        xAxis->setRange(keys.lo, keys.hi);
}

void ChartView::applyTemperatureRange() {
    if (temperatureAxisChanged_) zoomedTemperature_ = false;
    temperatureAxisChanged_ = false;
    if (zoomedTemperature_) return;
    const AxisState& axis = chart_.LeftAxis;
    if (!axis.automatic) {
        yAxis->setRange(axis.minimum, axis.maximum);
        return;
    }
    const Extent values =
        Union(mainShown() ? series1_->values() : Extent(), overlays_->temperatureValues());
    if (!values.found) return;
    const double margin = values.lo == values.hi ? 1.0 : (values.hi - values.lo) * 0.05;
    yAxis->setRange(values.lo - margin, values.hi + margin);
}

void ChartView::applyHumidityAxis() {
    const AxisState& axis = chart_.RightAxis;
    yAxis2->setVisible(axis.visible || overlays_->humidity());
    // The humidity series' "No data" dot belongs to a humidity axis that is shown.
    series2_->marksGraph()->setVisible(axis.visible);
    const Extent values = Union(axis.visible && mainShown() ? series2_->values() : Extent(),
                                overlays_->humidityValues());
    if (axis.automatic && values.found)
        yAxis2->setRange(values.lo, values.lo == values.hi ? values.hi + 1 : values.hi);
    else if (!axis.automatic)
        yAxis2->setRange(axis.minimum, axis.maximum);
}

void ChartView::renderTo(QCPPainter& painter, const QRect& rect) {
    syncNow();
    painter.save();
    painter.translate(rect.topLeft());
    toPainter(&painter, rect.width(), rect.height());
    painter.restore();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (dragButton_ != Qt::NoButton) return;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        dragButton_ = Qt::LeftButton;
        pressPos_ = pos;
        band_->setGeometry(QRect(pos, QSize()));
        band_->show();
    } else if (event->button() == Qt::RightButton) {
        dragButton_ = Qt::RightButton;
        panPos_ = pos;
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (dragButton_ == Qt::NoButton) {
        const QString readout = readoutAt(pos);
        if (readout.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(), readout, this);
    } else if (dragButton_ == Qt::LeftButton) {
        band_->setGeometry(QRect(pressPos_, pos).normalized());
    } else if (dragButton_ == Qt::RightButton) {
        const double delta = xAxis->pixelToCoord(panPos_.x()) - xAxis->pixelToCoord(pos.x());
        panPos_ = pos;
        if (delta == 0) return;
        xAxis->moveRange(delta);
        zoomedTime_ = true;
        showZoomState();
        replot(rpQueuedReplot);
        chart_.Chart1Scroll();
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != dragButton_) return;
    dragButton_ = Qt::NoButton;
    if (event->button() != Qt::LeftButton) return;
    band_->hide();
    const QPoint pos = event->position().toPoint();
    const QPoint moved = pos - pressPos_;
    if (std::abs(moved.x()) < kDragThreshold && std::abs(moved.y()) < kDragThreshold) return;
    if (moved.x() > 0 && moved.y() > 0)
        zoomTo(pressPos_, pos);
    else
        unzoom();
}

void ChartView::zoomTo(const QPoint& from, const QPoint& to) {
    xAxis->setRange(xAxis->pixelToCoord(from.x()), xAxis->pixelToCoord(to.x()));
    yAxis->setRange(yAxis->pixelToCoord(to.y()), yAxis->pixelToCoord(from.y()));
    zoomedTime_ = zoomedTemperature_ = true;
    showZoomState();
    replot(rpQueuedReplot);
    chart_.Chart1Zoom();
}

void ChartView::unzoom() {
    zoomedTime_ = zoomedTemperature_ = false;
    applyTimeRange();
    applyTemperatureRange();
    showZoomState();
    replot(rpQueuedReplot);
}

void ChartView::zoomTimeAround(double factor, double x) {
    xAxis->scaleRange(factor, xAxis->pixelToCoord(x));
    zoomedTime_ = true;
    showZoomState();
    replot(rpQueuedReplot);
    chart_.Chart1Zoom();
}

void ChartView::panTime(double fraction) {
    xAxis->moveRange(xAxis->range().size() * fraction);
    zoomedTime_ = true;
    showZoomState();
    replot(rpQueuedReplot);
    chart_.Chart1Scroll();
}

void ChartView::showZoomState() {
    reset_->setEnabled(zoomed());
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    zoomTimeAround(std::pow(kZoomStep, notches), event->position().x());
    event->accept();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    const double centre = xAxis->coordToPixel(xAxis->range().center());
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomTimeAround(kZoomStep, centre);
        break;
    case Qt::Key_Minus:
        zoomTimeAround(1 / kZoomStep, centre);
        break;
    case Qt::Key_Left:
        panTime(-kPanStep);
        break;
    case Qt::Key_Right:
        panTime(kPanStep);
        break;
    case Qt::Key_Home:
        unzoom();
        break;
    default:
        QCustomPlot::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QCustomPlot::resizeEvent(event);
    reset_->adjustSize();
    reset_->move(width() - reset_->width() - 4, 4);
}

QString ChartView::readoutAt(const QPoint& pos) const {
    if (!axisRect()->rect().contains(pos)) return {};
    const ChartSeries& temperatures = chart_.Series1;
    const int i = NearestPoint(temperatures, DayCountOfChartKey(xAxis->pixelToCoord(pos.x())));
    if (i < 0) return {};
    const double time = temperatures.x(i);
    if (std::abs(xAxis->coordToPixel(ChartKey(time)) - pos.x()) > kHoverReach) return {};
    bool over = std::abs(yAxis->coordToPixel(temperatures.y(i)) - pos.y()) <= kHoverReach;
    std::optional<double> humidity;
    const ChartSeries& humidities = chart_.Series2;
    const int k = chart_.RightAxis.visible ? NearestPoint(humidities, time) : -1;
    if (k >= 0 && humidities.x(k) == time) {
        humidity = humidities.y(k);
        over = over || std::abs(yAxis2->coordToPixel(*humidity) - pos.y()) <= kHoverReach;
    }
    if (!over) return {};
    QString format = ToChartLabelFormat(chart_.TimeLabelFormat);
    format.replace('\n', ' ');
    return ReadoutText(format, time, temperatures.y(i), chart_.Overlays.fahrenheit(), humidity);
}

} // namespace zantrel
