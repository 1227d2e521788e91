// A chart loaded from its duplicate and saved again is written as it came: no new-sensor
// event is added to it, however often it goes round.
#include "chart/readings_store.h"
#include "chart_file_harness.h"
#include "core/state.h"
#include "files/chart_file_loader.h"

#include <QtTest>

using namespace zantrel;

class ChartFileResaveTest : public QObject {
    Q_OBJECT
  private slots:
    void saveLoadSaveKeepsTheFirstRowsCount() {
        ChartFileHarness h;
        h.addReadings(3);
        const QByteArray first = h.save().value(8);
        QVERIFY(first.endsWith(", 1, 0, 0, 0, 0, 0, 0")); // fresh readings: one new sensor
        for (int round = 0; round < 2; ++round) {
            h.engine->loader().LoadChartFile(h.pathOf("run.zlx"));
            QCOMPARE(h.s().Edit1.text(), QByteArray("File loaded."));
            QCOMPARE(h.save().value(8), first);
            QCOMPARE(h.store().Events[NewSensor].size(), std::size_t(1));
        }
    }
};

QTEST_GUILESS_MAIN(ChartFileResaveTest)
#include "chart_file_resave_test.moc"
