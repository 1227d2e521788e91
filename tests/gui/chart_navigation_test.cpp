// Zooming and panning the chart with the wheel and the keys, the reset control, and the
// read-out of the reading under the pointer.
#include "chart/chart_model.h"
#include "plot/chart_view.h"

#include <QToolButton>
#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kDay = 40179.0; // 1 January 2010
constexpr double kMinute = 1.0 / 1440;

// Readings one a minute from kDay for an hour: temperature 20, 21, ..., humidity 40, 40.5, ...
struct Plot {
    ChartModel chart;
    ChartView view{chart};
    // gap: the reading that is missing (a null point), or -1.
    explicit Plot(bool fahrenheit = false, int gap = -1) {
        chart.Series1.ClearPoints();
        chart.Series2.ClearPoints();
        chart.Overlays.setFahrenheit(fahrenheit);
        chart.RightAxis.setVisible(true);
        chart.setTimeLabelFormat("dd/mm/yyyy hh:mm:ss");
        for (int i = 0; i <= 60; ++i) {
            if (i == gap)
                chart.Series1.AddNullPoint(kDay + i * kMinute, {});
            else
                chart.Series1.AddPoint(kDay + i * kMinute, 20 + i, {}, kRed);
            chart.Series2.AddPoint(kDay + i * kMinute, 40 + i / 2.0, {}, kBlue);
        }
        view.resize(800, 400);
        view.syncNow();
        view.replot();
    }
    void wheel(double x, int notches) {
        const QPointF at(x, view.axisRect()->center().y());
        QWheelEvent event(at, view.mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }
    QCPRange time() const { return view.xAxis->range(); }
    // The pixel of reading i on the temperature line.
    QPoint reading(int i) const {
        return QPoint(qRound(view.xAxis->coordToPixel(ChartKey(kDay + i * kMinute))),
                      qRound(view.yAxis->coordToPixel(20 + i)));
    }
    QToolButton* reset() { return view.findChild<QToolButton*>("ResetZoom"); }
};

} // namespace

class ChartNavigationTest : public QObject {
    Q_OBJECT
  private slots:
    void theWheelAndTheKeysZoomAndHomeResets() {
        Plot p;
        const QCPRange full = p.time();
        const auto near = [&full](double a, double b) { return qAbs(a - b) < 1e-6 * full.size(); };
        QVERIFY(p.reset() && p.reset()->isVisibleTo(&p.view) && !p.reset()->isEnabled());
        // The time under the pointer stays where it is, in and out.
        const double x = p.view.axisRect()->left() + p.view.axisRect()->width() / 4.0;
        const double under = p.view.xAxis->pixelToCoord(x);
        p.wheel(x, 1);
        QVERIFY(near(p.time().size(), full.size() * 0.8));
        QVERIFY(near(p.view.xAxis->pixelToCoord(x), under));
        QVERIFY(p.reset()->isEnabled());
        p.wheel(x, -2);
        QVERIFY(near(p.view.xAxis->pixelToCoord(x), under));
        QTest::keyClick(&p.view, Qt::Key_Home);
        QCOMPARE(p.time(), full);

        QTest::keyClick(&p.view, Qt::Key_Plus);
        const QCPRange zoomed = p.time();
        QVERIFY(near(zoomed.size(), full.size() * 0.8) && near(zoomed.center(), full.center()));
        QTest::keyClick(&p.view, Qt::Key_Left);
        QVERIFY(near(p.time().lower, zoomed.lower - zoomed.size() / 10));
        p.reset()->click();
        QCOMPARE(p.time(), full);
        QVERIFY(!p.view.zoomed() && !p.reset()->isEnabled());
    }

    void theReadoutShowsTheNearestReading() {
        Plot p;
        // A few pixels off the point still show it.
        QCOMPARE(p.view.readoutAt(p.reading(30) + QPoint(2, -3)),
                 QString("01/01/2010 00:30:00   50.00 \u00B0C   55.0 %RH"));
        QCOMPARE(p.view.readoutAt(p.reading(5) + QPoint(0, -60)), QString());
        Plot f(true);
        QCOMPARE(f.view.readoutAt(f.reading(0)),
                 QString("01/01/2010 00:00:00   20.00 \u00B0F   40.0 %RH"));
        // A gap is no reading.
        Plot g(false, 30);
        QCOMPARE(g.view.readoutAt(g.reading(30)), QString());
    }
};

QTEST_MAIN(ChartNavigationTest)
#include "chart_navigation_test.moc"
