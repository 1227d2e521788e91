#include "chart/chart_model.h"
#include "core/calendar.h"
#include "mouse_drag.h"
#include "plot/chart_label_format.h"
#include "plot/chart_view.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

constexpr double kDay = 40179.0; // 1 January 2010
constexpr double kMinute = 1.0 / 1440;

QVector<double> Keys(QCPGraph* graph) {
    QVector<double> keys;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        keys << it->key;
    return keys;
}

QVector<bool> Breaks(QCPGraph* graph) {
    QVector<bool> breaks;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        breaks << std::isnan(it->value);
    return breaks;
}

// A chart of temperatures, one a minute from kDay for `minutes` (20, 21, ...), laid out at a
// known size.
struct Plot {
    ChartModel chart;
    ChartView view{chart};
    explicit Plot(int minutes = 10) {
        chart.Series1.ClearPoints();
        chart.Series2.ClearPoints();
        for (int i = 0; i <= minutes; ++i)
            chart.Series1.AddPoint(kDay + i * kMinute, 20 + i, {}, kRed);
        view.resize(800, 400);
        view.syncNow();
        view.replot();
    }
};

} // namespace

class ChartViewTest : public QObject {
    Q_OBJECT
  private slots:
    void aPointAfterAGapIsReachedBySilver() {
        Plot p(1);
        ChartSeries& s = p.chart.Series1;
        s.AddPoint(kDay + 3 * kMinute, 22, {}, kSilver); // the reading before it was a gap
        p.view.syncNow();
        const SeriesGraphs& g = p.view.temperatureGraphs();
        QCOMPARE(g.mainGraph()->dataCount(), 2);
        QCOMPARE(Keys(g.bridgeGraph()),
                 (QVector<double>{ChartKey(kDay + kMinute), ChartKey(kDay + 3 * kMinute),
                                  ChartKey(kDay + 3 * kMinute)}));
        QCOMPARE(Breaks(g.bridgeGraph()), (QVector<bool>{false, false, true}));

        // The next red segment starts at the silver point, apart from the earlier line.
        s.AddPoint(kDay + 4 * kMinute, 23, {}, kRed);
        p.view.syncNow();
        QCOMPARE(Breaks(g.mainGraph()), (QVector<bool>{false, false, true, false, false}));
        QCOMPARE(g.mainGraph()->data()->at(3)->key, ChartKey(kDay + 3 * kMinute));
        QCOMPARE(g.bridgeGraph()->dataCount(), 3);
    }

    void aNullPointBreaksTheLineAndBridgesNothing() {
        Plot p(1);
        ChartSeries& s = p.chart.Series1;
        s.AddNullPoint(kDay + 2 * kMinute, {});
        s.AddPoint(kDay + 3 * kMinute, 22, {}, kSilver);
        s.AddPoint(kDay + 4 * kMinute, 23, {}, kRed);
        p.view.syncNow();
        const SeriesGraphs& g = p.view.temperatureGraphs();
        QCOMPARE(g.bridgeGraph()->dataCount(), 0);
        QCOMPARE(Breaks(g.mainGraph()), (QVector<bool>{false, false, true, false, false}));
        // The null point still counts for the time range.
        QCOMPARE(g.keys().hi, ChartKey(kDay + 4 * kMinute));
    }

    void pointsAreAppendedOnceAndRedrawnOncePerTurn() {
        ChartModel chart;
        ChartView view(chart);
        chart.Series1.ClearPoints();
        QCoreApplication::processEvents();
        for (int i = 0; i < 1500; ++i)
            chart.Series1.AddPoint(kDay + i * kMinute, i % 40, {}, kRed);
        QCOMPARE(view.temperatureGraphs().mainGraph()->dataCount(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(view.temperatureGraphs().mainGraph()->dataCount(), 1500);
        for (int i = 1500; i < 3000; ++i)
            chart.Series1.AddPoint(kDay + i * kMinute, i % 40, {}, kRed);
        QCoreApplication::processEvents();
        QCOMPARE(view.temperatureGraphs().mainGraph()->dataCount(), 3000);
        QVERIFY(!view.temperatureGraphs().rebuilt());

        // Clearing starts over.
        chart.Series1.ClearPoints();
        chart.Series1.AddPoint(kDay, 5, {}, kRed);
        QCoreApplication::processEvents();
        QCOMPARE(view.temperatureGraphs().mainGraph()->dataCount(), 1);
    }

    void freshChartShowsTheGreyNoDataPointThenTheEventMarks() {
        ChartModel chart;
        ChartView view(chart);
        chart.Series1.AddPoint(0, 0, "No data", kGrey);
        chart.Series2.AddPoint(0, 0, "No data", kGrey);
        view.syncNow();
        QCPGraph* marks = view.temperatureGraphs().marksGraph();
        QCOMPARE(marks->dataCount(), 1);
        QCOMPARE(marks->data()->at(0)->key, ChartKey(0));
        QVERIFY(marks->visible());
        QVERIFY(view.xAxis->range().contains(ChartKey(0)));
        QVERIFY(view.yAxis->range().contains(0));
        const auto top = view.xAxis2->ticker().dynamicCast<QCPAxisTickerText>();
        QCOMPARE(top->ticks().value(ChartKey(0)), QString("No data"));
        QCOMPARE(view.xAxis2->range(), view.xAxis->range());

        // Event marks label the top axis; unlabelled ones add no tick.
        chart.Series2.ClearPoints();
        chart.Series2.AddNullPoint(kDay, "ns");
        chart.Series2.AddNullPoint(kDay + kMinute, {});
        chart.Series2.AddPoint(kDay + 2 * kMinute, 40, "2 tas", kBlue);
        view.syncNow();
        QCOMPARE(top->ticks().size(), 2);
        QCOMPARE(top->ticks().value(ChartKey(kDay + 2 * kMinute)), QString("2 tas"));
        chart.Series2.ClearPoints();
        view.syncNow();
        QVERIFY(top->ticks().isEmpty());
    }

    // Marks that fall close together are staggered upwards so that none prints over another;
    // each keeps its text, and a mark with room of its own stays on the axis.
    void closeEventMarksStayReadable() {
        Plot p(600);
        const QStringList marks = {"tas", "tae", "ns", "RHas", "ts", "te"};
        for (int i = 0; i < marks.size(); ++i)
            p.chart.Series2.AddNullPoint(kDay + (100 + i) * kMinute, marks[i].toLatin1());
        p.chart.Series2.AddNullPoint(kDay + 103 * kMinute, "2 tas"); // a second line at one time
        p.chart.Series2.AddNullPoint(kDay + 400 * kMinute, "tb");
        p.view.syncNow();
        p.view.replot();
        p.view.replot();

        const QFontMetrics metrics(p.view.xAxis2->tickLabelFont());
        struct Box {
            QString text;
            double left, right;
            int bottom, top; // in lines above the axis
        };
        QList<Box> boxes;
        const QVector<double> ticks = p.view.xAxis2->tickVector();
        const QVector<QString> labels = p.view.xAxis2->tickVectorLabels();
        for (int i = 0; i < ticks.size(); ++i) {
            QStringList lines = labels[i].split('\n');
            int raised = 0;
            while (lines.size() > 1 && lines.last() == QString(QChar(0xa0))) {
                lines.removeLast();
                ++raised;
            }
            const QString text = lines.join('\n');
            const double half = metrics.boundingRect(QRect(), Qt::AlignHCenter, text).width() / 2.0;
            const double x = p.view.xAxis2->coordToPixel(ticks[i]);
            boxes.append({text, x - half, x + half, raised, raised + int(lines.size())});
        }
        QStringList shown;
        for (const Box& box : boxes)
            shown << box.text;
        QCOMPARE(shown, QStringList({"tas", "tae", "ns", "RHas\n2 tas", "ts", "te", "tb"}));
        for (int i = 0; i < boxes.size(); ++i)
            for (int j = i + 1; j < boxes.size(); ++j) {
                const Box& a = boxes[i];
                const Box& b = boxes[j];
                const bool overlap =
                    a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
                QVERIFY2(!overlap, qPrintable(a.text + " over " + b.text));
            }
        QVERIFY(boxes[1].bottom > 0); // the marks did move
        QCOMPARE(boxes.last().bottom, 0);
    }

    void axesFollowTheModel() {
        Plot p;
        p.chart.LeftAxis.setRange(-10, 50);
        p.view.syncNow();
        QCOMPARE(p.view.yAxis->range(), QCPRange(-10, 50));
        p.chart.LeftAxis.setAutomatic(true);
        p.view.syncNow();
        QVERIFY(p.view.yAxis->range().lower <= 20 && p.view.yAxis->range().upper >= 30);
        QVERIFY(p.view.yAxis->range().upper < 40);

        QVERIFY(!p.view.yAxis2->visible());
        p.chart.RightAxis.setVisible(true);
        p.view.syncNow();
        QVERIFY(p.view.yAxis2->visible());
        QCOMPARE(p.view.yAxis2->range(), QCPRange(-12, 88));

        p.chart.setTimeLabelFormat("yyyy/mm/dd hh:mm:ss");
        p.chart.setFoot({"Units=C", "User=Lab", ""});
        p.view.syncNow();
        const auto ticker = p.view.xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
        QCOMPARE(ticker->dateTimeFormat(), ToChartLabelFormat("yyyy/mm/dd hh:mm:ss"));
        QCOMPARE(ticker->dateTimeSpec(), Qt::UTC);
    }

    void timeKeysAgreeWithTheDateModule() {
        // A spring-forward night: the axis keys stay evenly spaced and read back the same fields.
        for (double t : {44269.0, 44269.0 + 2.5 / 24, 44269.0 + 3.5 / 24, 0.0}) {
            const QDateTime utc = DayCountToQDateTimeUtc(t);
            QCOMPARE(ChartKey(t), utc.toMSecsSinceEpoch() / 1000.0);
        }
    }

    void dragDownRightZoomsAndUpLeftUnzooms() {
        Plot p;
        p.chart.RightAxis.setVisible(true);
        const QCPRange full = p.view.xAxis->range();
        const QRect area = p.view.axisRect()->rect();
        const QPoint from = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
        const QPoint to = area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
        const QCPRange times(p.view.xAxis->pixelToCoord(from.x()),
                             p.view.xAxis->pixelToCoord(to.x()));
        const QCPRange temperatures(p.view.yAxis->pixelToCoord(to.y()),
                                    p.view.yAxis->pixelToCoord(from.y()));

        Drag(&p.view, Qt::LeftButton, from, to);
        QVERIFY(p.view.zoomed());
        QCOMPARE(p.view.xAxis->range(), times);
        QCOMPARE(p.view.yAxis->range(), temperatures);
        QVERIFY(times.size() < full.size() / 3);
        // The humidity axis is reset by every zoom.
        QCOMPARE(p.chart.RightAxis.minimum, 0.0);
        QCOMPARE(p.chart.RightAxis.maximum, 100.0);

        // New points do not move a zoomed view.
        const QCPRange zoomed = p.view.xAxis->range();
        p.chart.Series1.AddPoint(kDay + 20 * kMinute, 30, {}, kRed);
        p.view.syncNow();
        QCOMPARE(p.view.xAxis->range(), zoomed);

        Drag(&p.view, Qt::LeftButton, to, from);
        QVERIFY(!p.view.zoomed());
        QCOMPARE(p.view.xAxis->range(), QCPRange(ChartKey(kDay), ChartKey(kDay + 20 * kMinute)));
        QCOMPARE(p.view.yAxis->range(), QCPRange(0, 100));

        // A click without a drag changes nothing.
        Drag(&p.view, Qt::LeftButton, from, from + QPoint(1, 1));
        QVERIFY(!p.view.zoomed());
    }

    void rightDragPansTheTimeAxis() {
        Plot p;
        const QCPRange before = p.view.xAxis->range();
        const QCPRange temperatures = p.view.yAxis->range();
        const QPoint start = p.view.axisRect()->center();
        Drag(&p.view, Qt::RightButton, start, start - QPoint(100, 30));
        const QCPRange after = p.view.xAxis->range();
        QVERIFY(after.lower > before.lower);
        QVERIFY(qFuzzyCompare(after.size(), before.size()));
        QCOMPARE(p.view.yAxis->range(), temperatures);
        QCOMPARE(p.chart.RightAxis.minimum, 0.0);
        QCOMPARE(p.chart.RightAxis.maximum, 100.0);
        QCOMPARE(p.view.xAxis2->range(), after);
    }

    void rendersIntoAGivenRectangle() {
        Plot p;
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QCPPainter painter(&image);
            p.view.renderTo(painter, QRect(50, 50, 300, 200));
        }
        int red = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c != Qt::white && !QRect(50, 50, 300, 200).contains(x, y)) ++outside;
                if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
            }
        QVERIFY(red > 50);
        QCOMPARE(outside, 0);
    }
};

QTEST_MAIN(ChartViewTest)
#include "chart_view_test.moc"
