// The window's alerts: an automatic download's excursion told by the tray icon and the status
// line, and Chart, "Alerts..." listing it and recording its acknowledgement, on the offscreen
// platform.
#include "alerts/alert_log.h"
#include "chart/readings_store.h"
#include "chart/statistics_settings.h"
#include "chart/stored_statistics_settings.h"
#include "core/state.h"
#include "schedule/auto_download.h"
#include "started_window.h"
#include "ui/alerts_dialog.h"
#include "ui/main_menu_view.h"
#include "ui/tray_view.h"
#include "ui/window_alerts.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QtTest>

using namespace zantrel;

namespace {

// The schedule downloads into site.csv of the settings folder, and a download of channel 1
// has just stored readings that end warm.
void WarmDownloadStored(StartedWindow& w) {
    Engine& engine = w.form->engine();
    State& s = engine.state();
    s.Auto1hour.setChecked(true);
    s.Edit2.setText(QFile::encodeName(w.dir.filePath("site.csv")));
    StatisticsOptions band = DefaultStatisticsSettings();
    engine.statisticsSettings().set(band);
    ReadingsStore& readings = engine.readings();
    for (int i = 0; i < 4; ++i) {
        readings.ReadingTimes.push_back(40179.0 + i / 96.0);
        readings.Temperatures.push_back(i < 2 ? 5.0f : 9.5f);
    }
    s.Edit1.setText("File saved.");
    engine.autoDownload().downloadStored(1, true);
}

} // namespace

class AlertsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void excursionToldAndAcknowledged() {
        StartedWindow w;
        QSignalSpy raised(&w.form->alerts(), &WindowAlerts::raised);
        WarmDownloadStored(w);
        QCOMPARE(raised.count(), 1);
        QVERIFY(w.form->tray().icon()->isVisible());
        // The status line takes the alert once the download's own texts are done.
        QCOMPARE(w.form->engine().state().Edit1.text(), QByteArray("File saved."));
        QCoreApplication::processEvents();
        QVERIFY(w.form->engine().state().Edit1.text().startsWith(
            "ALERT: Channel 1 of logger (no ID) above 8 C since 2010-01-01 00:30:00"));

        w.form->menus()->Alerts->trigger();
        auto* dialog = w.form->findChild<AlertsDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QTableWidget* table = dialog->table();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 1)->text(), QString("excursion"));
        QVERIFY(dialog->acknowledgeButton()->isEnabled());
        QVERIFY(dialog->acknowledgeCurrent("door shut"));
        QVERIFY(table->item(0, 3)->text().startsWith(QString::fromLatin1(LoginName()) + ", "));
        QVERIFY(table->item(0, 3)->text().endsWith(": door shut"));
        QVERIFY(!dialog->acknowledgeButton()->isEnabled());

        // Read back as a program started again would.
        const AlertLog log(QFile::encodeName(w.dir.filePath("ALERTS.DAT")));
        QCOMPARE(log.alerts().size(), std::size_t(1));
        QCOMPARE(log.alerts()[0].acknowledged->comment, QByteArray("door shut"));
    }

    // An alert that cannot be kept is told all the same, saying that it was not kept.
    void alertNotKept() {
        StartedWindow w;
        QVERIFY(QDir(w.dir.path()).mkdir("ALERTS.DAT"));
        WarmDownloadStored(w);
        QCoreApplication::processEvents();
        const QByteArray status = w.form->engine().state().Edit1.text();
        QVERIFY2(status.startsWith("ALERT: Channel 1 of logger (no ID) above 8 C") &&
                     status.contains(" ALERT NOT KEPT: Cannot write "),
                 status.constData());
    }

    // Before the schedule has a file, the list says there is nowhere to keep alerts.
    void noFileYet() {
        StartedWindow w;
        w.form->menus()->Alerts->trigger();
        auto* dialog = w.form->findChild<AlertsDialog*>();
        QVERIFY(dialog);
        QCOMPARE(dialog->table()->rowCount(), 0);
        QVERIFY(!dialog->acknowledgeButton()->isEnabled());
    }
};

QTEST_MAIN(AlertsWindowTest)
#include "alerts_window_test.moc"
