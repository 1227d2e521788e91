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

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QtTest>

using namespace zantrel;

namespace {

// A download of channel 1 has just stored these readings, every quarter hour from quarter
// hour `first` on.
void DownloadStored(StartedWindow& w, int first, const QList<float>& celsius) {
    Engine& engine = w.form->engine();
    ReadingsStore& readings = engine.readings();
    readings = ReadingsStore();
    for (int i = 0; i < celsius.size(); ++i) {
        readings.ReadingTimes.push_back(40179.0 + (first + i) / 96.0);
        readings.Temperatures.push_back(celsius[i]);
    }
    engine.state().Edit1.setText("File saved.");
    engine.autoDownload().downloadStored(1, true);
}

// The schedule downloads into site.csv of the settings folder with the statistics' band and
// that delay.
void ScheduleWithDelay(StartedWindow& w, double delayMinutes) {
    Engine& engine = w.form->engine();
    State& s = engine.state();
    s.Auto1hour.setChecked(true);
    s.Edit2.setText(QFile::encodeName(w.dir.filePath("site.csv")));
    StatisticsOptions band = DefaultStatisticsSettings();
    band.delayMinutes = delayMinutes;
    engine.statisticsSettings().set(band);
}

// A download that ends warm for half an hour, with no delay.
void WarmDownloadStored(StartedWindow& w) {
    ScheduleWithDelay(w, 0);
    DownloadStored(w, 0, {5, 5, 9.5f, 9.5f});
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

    // A record of downloads in the way: the status line says it was not written, the list
    // that it did not read, and the alert is told all the same.
    void downloadRecordNotKept() {
        StartedWindow w;
        QVERIFY(QDir(w.dir.path()).mkdir("DOWNLOADS.DAT"));
        const QByteArray record = QFile::encodeName(w.dir.filePath("DOWNLOADS.DAT"));
        WarmDownloadStored(w);
        QCoreApplication::processEvents();
        const QByteArray status = w.form->engine().state().Edit1.text();
        QVERIFY2(status.startsWith("ALERT: Channel 1 of logger (no ID) above 8 C") &&
                     status.contains(" Cannot write " + record + ": "),
                 status.constData());

        w.form->menus()->Alerts->trigger();
        auto* dialog = w.form->findChild<AlertsDialog*>();
        QVERIFY(dialog);
        QStringList said;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            said << label->text();
        QVERIFY2(said.join('\n').contains(QString::fromLocal8Bit(record) + " does not read"),
                 qPrintable(said.join('\n')));
        QCOMPARE(dialog->table()->rowCount(), 1);
    }

    // The stored delay: half an hour outside is not yet an excursion of 45 minutes; the next
    // download carries it on to one.
    void storedDelayHonoured() {
        StartedWindow w;
        QSignalSpy raised(&w.form->alerts(), &WindowAlerts::raised);
        ScheduleWithDelay(w, 45);
        DownloadStored(w, 0, {5, 5, 9.5f, 9.5f});
        QCOMPARE(raised.count(), 0);
        DownloadStored(w, 4, {9.5f, 9.5f});
        QCOMPARE(raised.count(), 1);
        QCOMPARE(raised[0][0].toInt(), 1);
        const AlertLog log(QFile::encodeName(w.dir.filePath("ALERTS.DAT")));
        QCOMPARE(log.alerts().size(), std::size_t(1));
        QCOMPARE(log.alerts()[0].alert.start, 40179.0 + 2 / 96.0);
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
