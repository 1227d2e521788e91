#include "app/date_time.h"
#include "app/diagnostics_view.h"
#include "app/main_menu_view.h"
#include "app/main_window.h"
#include "chart/chart_view.h"
#include "message_box_catcher.h"
#include "test_clock.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

using namespace zantrel;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A started window in a fresh settings folder that is also the current directory. The
// port is "NA" so no device is touched.
struct Window {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    TestClock clock;
    MessageBoxCatcher boxes;
    std::unique_ptr<TForm1> form;

    Window() {
        QDir::setCurrent(dir.path());
        WriteFile(dir.filePath("COMPORT.DAT"), "NA");
        form = std::make_unique<TForm1>(clock);
        form->FormCreate(QFile::encodeName(dir.path()), {});
    }
    ~Window() {
        form.reset();
        QDir::setCurrent(previousDir);
    }
    State& state() { return form->engine().state(); }
    ChartModel& chart() { return form->engine().chart(); }
    template <typename T> T* find(const char* name) { return form->findChild<T*>(name); }
};

QMenu* MenuNamed(QWidget* menuOwner, const QString& title) {
    for (QAction* a : menuOwner->actions())
        if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
}

QMenu* TopMenu(TForm1& form, const QString& title) {
    return MenuNamed(form.menuBar(), title);
}

QAction* ItemNamed(QMenu* menu, const QString& text) {
    if (!menu) return nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

} // namespace

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
        QMenu* file = TopMenu(*w.form, "File");
        QVERIFY(file);
        const std::pair<const char*, const char*> items[] = {{"Load Chart", "Ctrl+O"},
                                                             {"Save Chart", "Ctrl+S"},
                                                             {"New/Clear", "Ctrl+N"},
                                                             {"Print Chart", "Ctrl+P"}};
        for (const auto& [text, keys] : items) {
            QAction* item = ItemNamed(file, text);
            QVERIFY2(item, text);
            QCOMPARE(item->shortcut(), QKeySequence(keys));
        }
        QVERIFY(ItemNamed(file, "Exit"));
        QVERIFY(ItemNamed(file, "New/Clear")->isEnabled());
    }

    void setupAndHelpMenus() {
        Window w;
        QMenu* setup = TopMenu(*w.form, "Setup");
        QVERIFY(setup);
        QAction* port = w.form->menus()->Port;
        QCOMPARE(port->text().toLatin1(), w.state().COMM.text());
        w.state().COMM.setText("Serial Port (COM7)");
        QCOMPARE(port->text(), QString("Serial Port (COM7)"));

        QMenu* autoDownload = MenuNamed(setup, "Auto Download");
        QVERIFY(autoDownload);
        QVERIFY(ItemNamed(autoDownload, "Channel 1")->isChecked());
        QVERIFY(ItemNamed(autoDownload, "Channel 2")->isChecked());
        QVERIFY(ItemNamed(autoDownload, "Off")->isChecked());
        for (const char* interval :
             {"1 hour", "4 hours", "8 hours", "24 hours", "7 days", "30 days"}) {
            QAction* item = ItemNamed(autoDownload, interval);
            QVERIFY2(item && !item->isEnabled() && !item->isChecked(), interval);
        }
        // "Off" stays checked when clicked again.
        ItemNamed(autoDownload, "Off")->trigger();
        QVERIFY(w.state().AutoOff.checked());
        QVERIFY(ItemNamed(autoDownload, "Off")->isChecked());

        QMenu* dateFormat = MenuNamed(setup, "Date Format");
        QVERIFY(dateFormat);
        const QList<QAction*> items = dateFormat->actions();
        QCOMPARE(items.size(), 9);
        QVERIFY(items[4]->isSeparator());
        QCOMPARE(items[0]->text(), QString("mm/dd/yyyy hh:mm:ss"));
        QCOMPARE(items[8]->text(), QString("yyyy/mm/dd, hh:mm:ss"));
        QVERIFY(ItemNamed(setup, "Edit User Information")->isEnabled());

        QMenu* help = TopMenu(*w.form, "Help");
        QVERIFY(ItemNamed(help, "About"));
        QVERIFY(!ItemNamed(help, "FAQ")->isEnabled());
        QVERIFY(!ItemNamed(help, "Upgrade ZL unit")->isEnabled());
        QVERIFY(ItemNamed(help, "Diagnostics Mode")->isCheckable());
    }

    void dateFormatClickChecksOneAndSavesIt() {
        Window w;
        const auto& items = w.form->menus()->DateFormats;
        items[6]->trigger();
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(items[i]->isChecked(), i == 6);
            QCOMPARE(w.state().DateFormatItems[i].checked(), i == 6);
        }
        QCOMPARE(ReadFile(w.dir.filePath("DATEFMT.DAT")), QByteArray("dd/mm/yyyy, hh:mm:ss"));
        w.form->chartView()->syncNow();
        const auto ticker =
            w.form->chartView()->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
        QCOMPARE(ticker->dateTimeFormat(), ToChartLabelFormat("dd/mm/yyyy, hh:mm:ss"));

        // Clicking the checked item again leaves it checked.
        items[6]->trigger();
        QVERIFY(items[6]->isChecked());
        QVERIFY(w.state().DateFormatItems[6].checked());
    }

    void newClearLeavesOneGreyPointPerSeries() {
        Window w;
        ChartModel& chart = w.chart();
        chart.Series1.ClearPoints();
        chart.Series1.AddPoint(40179.0, 20, {}, kRed);
        chart.Series1.AddPoint(40179.1, 21, {}, kRed);
        w.state().AbortUpload.setEnabled(true);
        w.state().UploadData.setEnabled(false);

        ItemNamed(TopMenu(*w.form, "File"), "New/Clear")->trigger();

        for (const ChartSeries* series : {&chart.Series1, &chart.Series2}) {
            QCOMPARE(series->PointCount(), 1);
            QCOMPARE(series->label(0), QByteArray("No data"));
            QCOMPARE(series->colour(0), kGrey);
        }
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
        w.state().Edit1.clear();
        QCOMPARE(status->text(), QString());

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
        QList<QRadioButton*> channels;
        for (QRadioButton* b : w.form->findChildren<QRadioButton*>())
            if (b->text().startsWith("Channel")) channels << b;
        QCOMPARE(channels.size(), 2);
        QRadioButton* one = channels[0]->text() == "Channel 1" ? channels[0] : channels[1];
        QRadioButton* two = one == channels[0] ? channels[1] : channels[0];
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
        QRadioButton* custom = nullptr;
        for (QRadioButton* b : w.form->findChildren<QRadioButton*>())
            if (b->text() == "Custom") custom = b;
        QVERIFY(custom);
        custom->click();
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

    void messageBoxShowsTitleAndText() {
        Window w;
        w.form->engine().ShowProblem("Cannot open serial port: COM9");
        QCOMPARE(w.boxes.seen, QStringList{"Problem|Cannot open serial port: COM9"});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
