#include "gui_window.h"
#include "ui/chart_view.h"
#include "ui/diagnostics_view.h"
#include "ui/main_menu_view.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QtTest>

using namespace zantrel;

using Window = GuiWindow;

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void captionFollowsTheEngine() {
        Window w;
        QCOMPARE(w.form->windowTitle(), QString("Zantrel(tm) - Version 5.2.1"));
        w.state().Caption.setText("Zantrel(tm) - Version 5.2.1 | Channel 1");
        QCOMPARE(w.form->windowTitle(), QString("Zantrel(tm) - Version 5.2.1 | Channel 1"));
        QVERIFY(w.boxes.seen.isEmpty());
    }

    void fileMenuHasItsShortcuts() {
        Window w;
        QMenu* file = MenuTitled(w.form->menuBar(), "File");
        QVERIFY(file);
        const std::pair<const char*, const char*> items[] = {{"Load Chart", "Ctrl+O"},
                                                             {"Save Chart", "Ctrl+S"},
                                                             {"New/Clear", "Ctrl+N"},
                                                             {"Print Chart", "Ctrl+P"}};
        for (const auto& [text, keys] : items) {
            QAction* item = ByText<QAction>(file, text);
            QVERIFY2(item && item->isEnabled(), text);
            QCOMPARE(item->shortcut(), QKeySequence(keys));
        }
        QVERIFY(ByText<QAction>(file, "Exit"));
    }

    void setupAndHelpMenus() {
        Window w;
        QMenu* setup = MenuTitled(w.form->menuBar(), "Setup");
        QVERIFY(setup);
        QAction* port = w.form->menus()->Port;
        QCOMPARE(port->text().toLatin1(), w.state().COMM.text());
        w.state().COMM.setText("Serial Port (COM7)");
        QCOMPARE(port->text(), QString("Serial Port (COM7)"));

        QMenu* autoDownload = MenuTitled(setup, "Auto Download");
        QVERIFY(autoDownload);
        for (const char* on : {"Channel 1", "Channel 2", "Off"})
            QVERIFY2(ByText<QAction>(autoDownload, on)->isChecked(), on);
        for (const char* interval :
             {"1 hour", "4 hours", "8 hours", "24 hours", "7 days", "30 days"}) {
            QAction* item = ByText<QAction>(autoDownload, interval);
            QVERIFY2(item && item->isEnabled() && !item->isChecked(), interval);
        }
        // "Off" stays checked when clicked again.
        ByText<QAction>(autoDownload, "Off")->trigger();
        QVERIFY(w.state().AutoOff.checked());
        QVERIFY(ByText<QAction>(autoDownload, "Off")->isChecked());

        const QList<QAction*> items = MenuTitled(setup, "Date Format")->actions();
        QCOMPARE(items.size(), 9);
        QVERIFY(items[4]->isSeparator());
        QCOMPARE(items[0]->text(), QString("mm/dd/yyyy hh:mm:ss"));
        QCOMPARE(items[8]->text(), QString("yyyy/mm/dd, hh:mm:ss"));
        QVERIFY(ByText<QAction>(setup, "Edit User Information")->isEnabled());

        QMenu* help = MenuTitled(w.form->menuBar(), "Help");
        QVERIFY(ByText<QAction>(help, "About"));
        QVERIFY(!ByText<QAction>(help, "FAQ")->isEnabled());
        QVERIFY(!ByText<QAction>(help, "Upgrade ZL unit")->isEnabled());
        QVERIFY(ByText<QAction>(help, "Diagnostics Mode")->isCheckable());
    }

    void dateFormatClickChecksOneAndSavesIt() {
        Window w;
        const auto& items = w.form->menus()->DateFormats;
        items[6]->trigger();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(items[i]->isChecked(), i == 6);
        QCOMPARE(w.settingsFile("DATEFMT.DAT"), QByteArray("dd/mm/yyyy, hh:mm:ss"));

        // Clicking the checked item again leaves it checked.
        items[6]->trigger();
        QVERIFY(items[6]->isChecked() && w.state().DateFormatItems[6].checked());
    }

    void newClearLeavesOneGreyPointPerSeries() {
        Window w;
        ChartModel& chart = w.chart();
        chart.Series1.ClearPoints();
        chart.Series1.AddPoint(40179.0, 20, {}, kRed);
        chart.Series1.AddPoint(40179.1, 21, {}, kRed);
        w.state().AbortUpload.setEnabled(true);
        w.state().UploadData.setEnabled(false);

        w.form->menus()->NewClear->trigger();

        QCOMPARE(chart.Series1.label(0), QByteArray("No data"));
        QVERIFY(w.find<QPushButton>("UploadData")->isEnabled());
        QVERIFY(!w.find<QPushButton>("AbortUpload")->isEnabled());
        w.form->chartView()->syncNow();
        QCOMPARE(w.form->chartView()->temperatureGraphs().marksGraph()->dataCount(), 1);
        QCOMPARE(w.form->chartView()->temperatureGraphs().mainGraph()->dataCount(), 0);
    }

    void boundsAreEditableOnlyWithoutAutoScale() {
        Window w;
        auto* autoScale = w.find<QCheckBox>("AutoScale");
        auto* maxTemp = w.find<QLineEdit>("MaxTemp");
        auto* minTemp = w.find<QLineEdit>("MinTemp");
        QVERIFY(autoScale->isChecked());
        QVERIFY(!maxTemp->isEnabled() && !minTemp->isEnabled());

        autoScale->click();
        QVERIFY(!w.state().AutoScale.checked());
        QVERIFY(maxTemp->isEnabled() && minTemp->isEnabled());

        // Typing a bound sets its control and the temperature axis.
        maxTemp->selectAll();
        QTest::keyClicks(maxTemp, "50");
        QCOMPARE(w.state().MaxTemp.text(), QByteArray("50"));
        QCOMPARE(w.chart().LeftAxis.maximum, 50.0);

        autoScale->click();
        QVERIFY(w.state().AutoScale.checked());
        QVERIFY(!maxTemp->isEnabled() && !minTemp->isEnabled());
        QVERIFY(w.chart().LeftAxis.automatic);
    }

    void statusLineAndProgressFollowTheEngine() {
        Window w;
        QLineEdit* status = w.form->statusEdit();
        w.state().Edit1.setText("REQUESTING HEADER INFO...PLEASE WAIT...");
        QCOMPARE(status->text(), QString("REQUESTING HEADER INFO...PLEASE WAIT..."));
        QVERIFY(status->isReadOnly());

        QProgressBar* bar = w.form->progressBar();
        QVERIFY(!bar->isVisibleTo(w.form.get()));
        w.state().ProgressTotal = 3000;
        w.state().Progress.setVisible(true);
        w.state().Progress.setValue(1500);
        QVERIFY(bar->isVisibleTo(w.form.get()));
        QCOMPARE(bar->maximum(), 3000);
        QCOMPARE(bar->value(), 1500);
        w.state().Progress.setVisible(false);
        QVERIFY(!bar->isVisibleTo(w.form.get()));
    }

    void channelButtonsExcludeEachOther() {
        Window w;
        auto* one = ByText<QRadioButton>(w.form.get(), "Channel 1");
        auto* two = ByText<QRadioButton>(w.form.get(), "Channel 2");
        QVERIFY(one && two);
        two->click();
        QVERIFY(w.state().RadioButton2.checked() && !w.state().RadioButton1.checked());
        QVERIFY(two->isChecked() && !one->isChecked());
        two->click();
        QVERIFY(w.state().RadioButton2.checked() && two->isChecked());
        w.state().RadioButton1.setEnabled(false);
        QVERIFY(!one->isEnabled());
    }

    void pickersShowAndEditTheirDayCounts() {
        Window w;
        State& s = w.state();
        s.Startdate.setValue(40179.0);  // 1 January 2010
        s.Starttime.setValue(40179.75); // 18:00 on that day
        QList<QDateEdit*> dates;
        for (QDateEdit* e : w.form->findChildren<QDateEdit*>())
            if (!qobject_cast<QTimeEdit*>(e)) dates << e;
        const QList<QTimeEdit*> times = w.form->findChildren<QTimeEdit*>();
        QCOMPARE(dates.size(), 2);
        QCOMPARE(times.size(), 2);
        QVERIFY(!dates[0]->isEnabled());
        QCOMPARE(dates[0]->date(), QDate(2010, 1, 1));
        QCOMPARE(times[0]->time(), QTime(18, 0));

        // The user's edits change only their own part of the day count.
        times[0]->setTime(QTime(6, 0));
        QCOMPARE(s.Starttime.value(), 40179.25);
        dates[0]->setDate(QDate(2010, 1, 3));
        QCOMPARE(s.Startdate.value(), 40181.0);
    }

    void rangeGroupAsksTheSessionForTheRange() {
        Window w;
        ByText<QRadioButton>(w.form.get(), "Custom")->click();
        QCOMPARE(w.state().upload_range_group.value(), double(RangeCustom));
        QVERIFY(w.state().Startdate.enabled());
        QVERIFY(!w.form->findChildren<QDateEdit*>().isEmpty());
        for (QDateEdit* e : w.form->findChildren<QDateEdit*>())
            QVERIFY(e->isEnabled());
    }

    void diagnosticsModeSwapsTheChartAndKeepsTheValues() {
        Window w;
        auto* centre = qobject_cast<QStackedWidget*>(w.form->chartView()->parentWidget());
        QVERIFY(centre);
        QCOMPARE(centre->currentWidget(), static_cast<QWidget*>(w.form->chartView()));
        w.state().Memo3.setText("idle bytes");
        w.state().RHZL.tick();

        QAction* mode = w.form->menus()->DiagnosticsMode;
        mode->trigger();
        QVERIFY(mode->isChecked());
        QCOMPARE(centre->currentWidget(), static_cast<QWidget*>(w.form->diagnosticsView()));
        w.form->show();
        w.state().Memo2.setText("header text");
        QCoreApplication::processEvents();
        auto* header = w.form->diagnosticsView()->findChild<QPlainTextEdit*>("Header Data");
        QCOMPARE(header->toPlainText(), QString("header text"));
        auto* rh = w.form->diagnosticsView()->findChild<QCheckBox*>("ZL with RH");
        QVERIFY(rh->isChecked());

        mode->trigger();
        QVERIFY(!mode->isChecked());
        QCOMPARE(centre->currentWidget(), static_cast<QWidget*>(w.form->chartView()));
        QCOMPARE(w.state().Memo3.text(), QByteArray("idle bytes"));
        QVERIFY(w.state().RHZL.checked());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
