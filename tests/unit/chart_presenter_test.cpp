// Redrawing from the store, the foot text, the units, the temperature axis bounds and the
// humidity axis, seen through the engine's chart model.
#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/readings_store.h"
#include "core/channel_header.h"
#include "core/state.h"
#include "protocol/upload_blocks.h"
#include "protocol_engine.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kT0 = 40179.5;
constexpr double kStep = 15.0 / 86400.0;

struct Harness : PortlessEngine {
    ChartPresenter& presenter() { return engine->presenter(); }

    void storeReadings(const std::vector<float>& temperatures) {
        for (size_t i = 0; i < temperatures.size(); ++i) {
            store().ReadingTimes.push_back(kT0 + i * kStep);
            store().Temperatures.push_back(temperatures[i]);
        }
    }
    void redrawIn(bool fahrenheit) {
        state().TempInF.setChecked(fahrenheit);
        presenter().TempInFClick();
    }
};

} // namespace

class ChartPresenterTest : public QObject {
    Q_OBJECT
  private slots:
    void aRedrawDrawsTheStoreWithGapsBridgedInSilver() {
        Harness h;
        h.storeReadings({21.0f, NoReading, 22.0f, 9998.5f, 23.0f});
        h.chart().LeftAxis.setAutomatic(false);
        h.redrawIn(false);
        QCOMPARE(h.chart().Series1.y(1), 22.0);
        QCOMPARE(h.chart().Series1.x(1), kT0 + 2 * kStep);
        // 9998.5 is not drawn, but it is no gap: the point after it is red.
        QCOMPARE(SeriesPoints(h.chart().Series1), QByteArray("RSR ||"));
        QCOMPARE(SeriesPoints(h.chart().Series2), QByteArray("NNN .||"));
        QCOMPARE(h.store().ReadingTimes.size(), size_t(5));
        QCOMPARE(h.engine->blocks().BlockStart, kT0 + 4 * kStep);
        QVERIFY(h.chart().LeftAxis.automatic);

        h.state().RHZL.tick();
        h.store().Humidities = {45.0f, 46.0f, NoReading, 47.0f, 48.0f};
        h.redrawIn(false);
        // A humidity is drawn even where its temperature is not.
        QCOMPARE(SeriesPoints(h.chart().Series2), QByteArray("BBNSB .||||"));
    }

    void anEmptyStoreLeavesTheSeriesAsTheyAre() {
        Harness h;
        h.chart().LeftAxis.setAutomatic(false);
        h.redrawIn(true);
        QCOMPARE(h.chart().Series1.label(0), QByteArray("No data"));
        QVERIFY(h.chart().LeftAxis.automatic);
    }

    void theUnitsRedrawEveryPointAndTheFoot() {
        Harness h;
        h.storeReadings({20.0f});
        h.redrawIn(true);
        QCOMPARE(h.chart().Series1.y(0), 68.0);
        QVERIFY(h.chart().Foot.value(0).startsWith("Units=F  "));
        h.redrawIn(false);
        QCOMPARE(h.chart().Series1.y(0), 20.0);
        QVERIFY(h.chart().Foot.value(0).startsWith("Units=C  "));
        QCOMPARE(h.store().Temperatures, (std::vector<float>{20.0f}));
    }

    void eventsAreMarkedAndTestStartsReadTsOnARedraw() {
        Harness h;
        h.storeReadings({20.0f, 21.0f, 22.0f});
        h.store().TempAlarmStartEvents() = {kT0 + 0.5 * kStep, kT0 + kStep};
        h.store().TestStartEvents() = {kT0 + 2 * kStep};
        h.redrawIn(false);
        // Two alarm starts in range: no "." on the first point.
        QCOMPARE(SeriesPoints(h.chart().Series2), QByteArray("NNN |2 tas|ts"));
    }

    void theFootNamesUnitsRateStorageAndUser() {
        Harness h;
        State& s = h.state();
        s.TempInF.setChecked(false);
        s.LoggerVersion = 2;
        h.engine->header().channel(true).Sensors[1].IirPercent = 25;
        s.UserName = "Lab";
        s.RHZL.tick();
        s.Datastored.setText("IIR filter 12.5% last output");
        s.Samplesperhour.setText("240");
        QCOMPARE(h.chart().Foot,
                 (QList<QByteArray>{"Units=C  Storage Rate=15sec   Recorded Temp=IIR filter 12.5% "
                                    "last output  Recorded RH=25% last output",
                                    "User=Lab", ""}));

        h.engine->header().channel(true).Sensors[1].IirPercent = 12.125f; // half rounds up
        s.UserLocation = "Bay 4";
        s.UnitId = "Z9";
        h.presenter().UpdateChartFoot();
        QVERIFY(h.chart().Foot[0].endsWith("Recorded RH=12.13% last output"));
        QCOMPARE(h.chart().Foot[1], QByteArray("User=Lab  Location=Bay 4  ZL ID=Z9"));

        s.LoggerVersion = 1;
        s.UserName = s.UserLocation = s.UnitId = {};
        s.Samplesperhour.setText("7");
        QCOMPARE(h.chart().Foot, (QList<QByteArray>{"Units=C  Storage Rate=514.2857sec   Recorded "
                                                    "Temp=IIR filter 12.5% last output  Recorded "
                                                    "RH=average",
                                                    ""}));
    }

    void aZeroRateReadsZeroAndANonNumberLeavesTheFoot() {
        Harness h;
        h.state().Samplesperhour.setText("0");
        QVERIFY(h.chart().Foot[0].contains("  Storage Rate=0sec   "));
        const QList<QByteArray> before = h.chart().Foot;
        h.state().TempInF.setChecked(false);
        h.state().Samplesperhour.setText("fast");
        QCOMPARE(h.chart().Foot, before);
    }

    void autoScaleSwitchesBetweenAutomaticAndTypedBounds() {
        Harness h;
        State& s = h.state();
        AxisState& axis = h.chart().LeftAxis;
        s.MaxTemp.setText("50");
        s.MinTemp.setText("12a"); // not a number: the handler stops after the maximum
        s.AutoScale.setChecked(false);
        axis.setAutomatic(true);
        h.presenter().AutoScaleClick();
        QVERIFY(s.MaxTemp.enabled() && s.MinTemp.enabled());
        QCOMPARE(axis.maximum, 50.0);
        QCOMPARE(axis.minimum, 0.0);
        QVERIFY(axis.automatic);

        s.MinTemp.setText("-10");
        h.presenter().AutoScaleClick();
        QCOMPARE(axis.minimum, -10.0);

        s.AutoScale.setChecked(true);
        h.presenter().AutoScaleClick();
        QVERIFY(!s.MaxTemp.enabled() && !s.MinTemp.enabled());
        QVERIFY(axis.automatic);
    }

    // With Auto Scale off the typed limits frame the same temperatures in either unit, so the
    // line stays in view.
    void manualLimitsFollowTheUnit() {
        Harness h;
        State& s = h.state();
        AxisState& axis = h.chart().LeftAxis;
        h.storeReadings({21.0f, 22.5f});
        h.redrawIn(false);
        s.MaxTemp.setText("37.5");
        s.MinTemp.setText("-10");
        s.AutoScale.setChecked(false);
        h.presenter().AutoScaleClick();
        QCOMPARE(std::make_pair(axis.minimum, axis.maximum), std::make_pair(-10.0, 37.5));

        h.redrawIn(true);
        QCOMPARE(s.MaxTemp.text() + " " + s.MinTemp.text(), QByteArray("99.5 14"));
        QCOMPARE(std::make_pair(axis.minimum, axis.maximum), std::make_pair(14.0, 99.5));
        QVERIFY(!axis.automatic);
        h.redrawIn(false);
        QCOMPARE(s.MaxTemp.text() + " " + s.MinTemp.text(), QByteArray("37.5 -10"));
        QCOMPARE(std::make_pair(axis.minimum, axis.maximum), std::make_pair(-10.0, 37.5));
    }

    void typedBoundsApplyOnlyWhenTheyAreNumbersInOrder_data() {
        QTest::addColumn<QByteArray>("max");
        QTest::addColumn<QByteArray>("min");
        QTest::newRow("max below min") << QByteArray("10") << QByteArray("20");
        QTest::newRow("minus sign") << QByteArray("-") << QByteArray("5");
        QTest::newRow("empty") << QByteArray("30") << QByteArray();
        QTest::newRow("not a number") << QByteArray("30") << QByteArray("12a");
    }
    void typedBoundsApplyOnlyWhenTheyAreNumbersInOrder() {
        QFETCH(QByteArray, max);
        QFETCH(QByteArray, min);
        Harness h;
        h.state().MaxTemp.setText(max);
        h.state().MinTemp.setText(min);
        h.presenter().MaxTempExit();
        h.presenter().MinTempExit();
        QCOMPARE(h.chart().LeftAxis.minimum, 0.0);
        QCOMPARE(h.chart().LeftAxis.maximum, 100.0);
    }

    void eachExitSetsTheBoundsInItsOwnOrder() {
        QList<std::pair<double, double>> seen; // outlives the engine that reports into it
        Harness h;
        AxisState& axis = h.chart().LeftAxis;
        axis.subscribe([&] { seen.append({axis.minimum, axis.maximum}); });
        h.state().MaxTemp.setText("30");
        h.state().MinTemp.setText("-5");
        h.presenter().MaxTempExit();
        QCOMPARE(seen, (QList<std::pair<double, double>>{{-5, 100}, {-5, 30}}));
        axis.setRange(0, 100);
        seen.clear();
        h.presenter().MinTempExit();
        QCOMPARE(seen, (QList<std::pair<double, double>>{{0, 30}, {-5, 30}}));
    }

    void theHumidityCheckBoxShowsTheAxisAndSizesTheField() {
        Harness h;
        h.state().RHZL.tick();
        QVERIFY(h.chart().RightAxis.visible);
        QCOMPARE(h.state().RhHexDigits, 2);
        h.state().RHZL.clear();
        QVERIFY(!h.chart().RightAxis.visible);
        QCOMPARE(h.state().RhHexDigits, 0);
    }
};

QTEST_GUILESS_MAIN(ChartPresenterTest)
#include "chart_presenter_test.moc"
