// The window against the simulated logger: "Upload Data" is pressed like a user would, and
// the readings end up drawn on the chart.
#include "core/state.h"
#include "message_box_catcher.h"
#include "plot/chart_view.h"
#include "sim/logger_simulator.h"
#include "test_clock.h"
#include "ui/main_window.h"
#include "work_dir.h"

#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

using namespace zantrel;

class UploadWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadDataDrawsTheReadings() {
        sim::LoggerConfig config;
        config.channels[0].kind = sim::ChannelKind::TemperatureRh;
        config.channels[0].readingCount = 2000;
        config.channels[0].storagePeriodSeconds = 60;
        sim::LoggerSimulator logger(config);
        QVERIFY(logger.start());

        WorkDir dir;
        TestClock clock(sim::dayCount(config.channels[0].firstReading) + 10);
        TForm1 window(clock);
        window.FormCreate(dir.path(), {}, logger.devicePath().toLocal8Bit());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto* upload = window.findChild<QPushButton*>("UploadData");
        auto* abort = window.findChild<QPushButton*>("AbortUpload");
        QVERIFY(upload && abort);
        QCOMPARE(upload->text(), QString("Upload Data"));
        QVERIFY(upload->isEnabled() && !abort->isEnabled());
        QVERIFY(!window.progressBar()->isVisible());

        // The bar is busy while the header arrives, then counts the readings of the total.
        QProgressBar* bar = window.progressBar();
        // Maximum and value after each change; the listener outlives this function.
        auto seen = std::make_shared<QList<std::pair<int, int>>>();
        window.engine().state().Progress.subscribe([seen, guard = QPointer<QProgressBar>(bar)] {
            if (guard) seen->append({guard->maximum(), guard->value()});
        });
        const QList<std::pair<int, int>>& shown = *seen;
        QTest::mouseClick(upload, Qt::LeftButton);
        QVERIFY(!upload->isEnabled() && abort->isEnabled());
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusEdit()->text(), QString("DATA LOADED"), 20000);
        QVERIFY(upload->isEnabled() && !abort->isEnabled());
        QVERIFY(!bar->isVisible());
        QCOMPARE(shown.first(), std::make_pair(0, 0));
        QVERIFY(shown.contains(std::make_pair(2000, 1500)));
        QCOMPARE(shown.last(), std::make_pair(2000, 2000));

        // The next upload starts busy again, not full from the last one. The readings of the
        // last one are in no file: the upload asks first.
        MessageBoxCatcher boxes;
        boxes.answer = QMessageBox::Discard;
        QTest::mouseClick(upload, Qt::LeftButton);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen[0].endsWith(
            "|The chart holds readings that are not saved. Save them first?"));
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->maximum(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusEdit()->text(), QString("DATA LOADED"), 20000);

        window.chartView()->syncNow();
        const ChartView& chart = *window.chartView();
        QCOMPARE(chart.temperatureGraphs().mainGraph()->dataCount(), 2000);
        QCOMPARE(chart.humidityGraphs().mainGraph()->dataCount(), 2000);
        QVERIFY(chart.yAxis2->visible()); // the %RH axis shows for a humidity channel
        // The time axis spans the readings, not the "No data" point at day 0.
        QVERIFY(chart.xAxis->range().lower > 0);
        window.close();
    }
};

QTEST_MAIN(UploadWindowTest)
#include "upload_window_test.moc"
