#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/chart_series.h"
#include "chart/readings_store.h"
#include "core/state.h"
#include "gui_window.h"
#include "pdf_text.h"
#include "plot/chart_view.h"
#include "ui/diagnostics_view.h"
#include "ui/main_menu_view.h"
#include "ui/print_view.h"
#include "ui/statistics_window.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimeEdit>
#include <QtTest>

using namespace zantrel;

using Window = GuiWindow;

namespace {

// The width a line edit has for its text, as it lays the text out when it paints.
int TextRoom(const QLineEdit* field) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->rect();
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    const QRect contents = field->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                               .marginsRemoved(field->textMargins());
    return contents.width() - 2 * 2; // a line edit keeps two pixels either side of its text
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

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

    // The window's chart repaints each emptied series: New/Clear keeps its two pauses, and
    // the window is painted before each, so that a dialog just closed leaves no hole.
    void newClearPausesForTheChart() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        QMenu* file = MenuTitled(w.form->menuBar(), "File");
        QVERIFY(file);
        QAction* newClear = ByText<QAction>(file, "New/Clear");
        QVERIFY(newClear);
        PaintCounter painted;
        w.form->installEventFilter(&painted);
        QList<int> paintsAtPauses;
        w.clock.onSleep = [&](int ms) {
            if (ms == 500) paintsAtPauses << painted.paints;
        };
        const int64_t sleptBefore = w.clock.sleptMs();
        newClear->trigger();
        w.clock.onSleep = nullptr;
        QCOMPARE(w.clock.sleptMs() - sleptBefore, 1000);
        QCOMPARE(paintsAtPauses.size(), 2);
        QVERIFY2(paintsAtPauses[0] >= 1 && paintsAtPauses[1] > paintsAtPauses[0],
                 qPrintable(QString("paints at the pauses: %1, %2")
                                .arg(paintsAtPauses[0])
                                .arg(paintsAtPauses[1])));
        // The program's end leaves no chart to repaint: it does not pause.
        const int64_t sleptAtExit = w.clock.sleptMs();
        w.form.reset();
        QCOMPARE(w.clock.sleptMs(), sleptAtExit);
    }

    // The menus' items as a started window offers them.
    void menuItems_data() {
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("checkable");
        const auto row = [](QStringList menu, const char* item, const char* keys = "",
                            bool enabled = true, bool checked = false, bool checkable = false) {
            QTest::newRow(item) << menu << QString(item) << QString(keys) << enabled << checked
                                << checkable;
        };
        const QStringList file = {"File"}, setup = {"Setup"}, help = {"Help"};
        const QStringList autoDownload = {"Setup", "Auto Download"};
        row(file, "Load Chart", "Ctrl+O");
        row(file, "Load Month...", "Ctrl+M");
        row(file, "Save Chart", "Ctrl+S");
        row(file, "New/Clear", "Ctrl+N");
        row(file, "Print Chart", "Ctrl+P");
        row(file, "Export...", "Ctrl+E", false); // enabled once a chart is loaded
        row(file, "Exit", "Ctrl+Q");
        for (const char* on : {"Channel 1", "Channel 2", "Off"})
            row(autoDownload, on, "", true, true, true);
        for (const char* interval :
             {"1 hour", "4 hours", "8 hours", "24 hours", "7 days", "30 days"})
            row(autoDownload, interval, "", true, false, true);
        row(setup, "Edit User Information");
        row(help, "About");
        row(help, "FAQ", "", false);
        row(help, "Upgrade ZL unit", "", false);
        row(help, "Diagnostics Mode", "", true, false, true);
    }
    void menuItems() {
        QFETCH(QStringList, menu);
        QFETCH(QString, item);
        Window w;
        QMenu* parent = MenuTitled(w.form->menuBar(), menu.takeFirst());
        for (const QString& title : menu)
            parent = parent ? MenuTitled(parent, title) : nullptr;
        QVERIFY(parent);
        QAction* action = ByText<QAction>(parent, item);
        QVERIFY(action);
        QTEST(action->shortcut().toString(), "keys");
        QTEST(action->isEnabled(), "enabled");
        QTEST(action->isChecked(), "checked");
        QTEST(action->isCheckable(), "checkable");
    }

    void setupMenuFollowsTheEngine() {
        Window w;
        QMenu* setup = MenuTitled(w.form->menuBar(), "Setup");
        QAction* port = w.form->menus()->Port;
        QCOMPARE(Shown(port->text()).toLatin1(), w.state().COMM.text());
        w.state().COMM.setText("Serial Port (COM7)");
        QCOMPARE(Shown(port->text()), QString("Serial Port (COM7)"));
        // "Off" stays checked when clicked again.
        QAction* off = ByText<QAction>(MenuTitled(setup, "Auto Download"), "Off");
        off->trigger();
        QVERIFY(w.state().AutoOff.checked() && off->isChecked());

        const QList<QAction*> items = MenuTitled(setup, "Date Format")->actions();
        QCOMPARE(items.size(), 9);
        QVERIFY(items[4]->isSeparator());
        QCOMPARE(items[0]->text(), QString("mm/dd/yyyy hh:mm:ss"));
        QCOMPARE(items[8]->text(), QString("yyyy/mm/dd, hh:mm:ss"));
    }

    // Alt and a menu's underlined letter open it; an item's underlined letter picks it. Every
    // menu and item has a key of its own, except the eight date formats, which share their
    // letters and are reached with the arrow keys.
    void menusAndItemsAreReachedFromTheKeyboard() {
        Window w;
        QMenuBar* bar = w.form->menuBar();
        QSet<QChar> menuKeys;
        for (QAction* menu : bar->actions()) {
            const QChar key = Mnemonic(menu->text());
            QVERIFY2(!key.isNull() && !menuKeys.contains(key), qPrintable(menu->text()));
            menuKeys.insert(key);
        }
        QCOMPARE(menuKeys, QSet<QChar>({'F', 'S', 'C', 'H'}));
        for (QMenu* menu : bar->findChildren<QMenu*>()) {
            if (Shown(menu->title()) == "Date Format") continue;
            QSet<QChar> keys;
            for (QAction* item : menu->actions()) {
                if (item->isSeparator()) continue;
                const QChar key = Mnemonic(item->text());
                QVERIFY2(!key.isNull() && !keys.contains(key), qPrintable(item->text()));
                keys.insert(key);
            }
        }
        QCOMPARE(w.form->menus()->Port->text(), QString("Serial &Port (NA)"));

        w.form->show();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        QSignalSpy portRequested(w.form.get(), &TForm1::portRequested);
        QTest::keyClick(w.form.get(), Qt::Key_S, Qt::AltModifier);
        QMenu* setup = MenuTitled(bar, "Setup");
        QTRY_VERIFY(setup->isVisible());
        QTest::keyClick(setup, Qt::Key_P);
        QTRY_COMPARE(portRequested.count(), 1);

        QTest::keyClick(w.form.get(), Qt::Key_F, Qt::AltModifier);
        QMenu* file = MenuTitled(bar, "File");
        QTRY_VERIFY(file->isVisible());
        w.state().Edit1.setText("before");
        QTest::keyClick(file, Qt::Key_N); // New/Clear
        QTRY_VERIFY(!file->isVisible());
        QCOMPARE(w.state().Edit1.text(), QByteArray());
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
        // A status longer than the field shows how it begins, and whole in the tip.
        const QByteArray lost = "SERIAL PORT LOST. UPLOAD CANCELLED. Reconnect the logger: "
                                "trying the port again every 5 seconds.";
        w.state().Edit1.setText(lost);
        QCOMPARE(status->cursorPosition(), 0);
        QCOMPARE(status->toolTip(), QString::fromLatin1(lost));

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

    // Each value of diagnostics mode shows whole, however long its text.
    void diagnosticsFieldsFitTheirTexts() {
        Window w;
        State& s = w.state();
        s.Datastored.setText("IIR filter 12.5% last output");
        s.Samplesperhour.setText("514.285714285714");
        s.Firstdate.setText("12/30/2009");
        s.Edit2.setText("/home/lab/charts/fridge-2/2026-12.csv");
        w.form->menus()->DiagnosticsMode->trigger();
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        const QList<QLineEdit*> fields = w.form->diagnosticsView()->findChildren<QLineEdit*>();
        QCOMPARE(fields.size(), 9);
        for (QLineEdit* field : fields)
            QVERIFY2(TextRoom(field) >= field->fontMetrics().horizontalAdvance(field->text()),
                     qPrintable(field->objectName() + ": " + field->text()));
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

    // Every date the window shows reads in the chosen order: the pickers (at today from the
    // start), "Next Auto Download:", the empty chart's time axis (today's day, not day 0), the
    // statistics and the print stamp.
    void everyDateReadsInTheChosenOrder_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("day"); // 11 January 2010
        QTest::addColumn<QString>("gap"); // between the date and the time
        QTest::newRow("day first") << 2 << QString("11/01/2010") << QString(" ");
        QTest::newRow("month first") << 0 << QString("01/11/2010") << QString(" ");
        QTest::newRow("year first, comma") << 7 << QString("2010/01/11") << QString(", ");
    }
    void everyDateReadsInTheChosenOrder() {
        QFETCH(int, item);
        QFETCH(QString, day);
        QFETCH(QString, gap);
        Window w(40189.5); // 11 January 2010 12:00
        w.form->menus()->DateFormats[item]->trigger();
        int pickers = 0;
        for (QDateEdit* e : w.form->findChildren<QDateEdit*>()) {
            if (qobject_cast<QTimeEdit*>(e)) continue;
            QCOMPARE(e->text(), day);
            ++pickers;
        }
        QCOMPARE(pickers, 2); // start and end of the range
        QVERIFY(w.find<QLineEdit>("AutoClock")->text().startsWith(day + gap));

        auto* view = w.form->findChild<ChartView*>();
        view->syncNow();
        view->replot();
        const QList<QString> ticks = view->xAxis->tickVectorLabels();
        QVERIFY(!ticks.isEmpty() && ticks.first().startsWith(day));

        ReadingsStore& store = w.form->engine().readings();
        for (int i = 0; i < 4; ++i) {
            store.ReadingTimes.push_back(40189.25 + i / 24.0);
            store.Temperatures.push_back(20.0f + i);
            store.Humidities.push_back(40.0f);
        }
        w.form->engine().presenter().RedrawChart();
        const QString figures = w.form->showStatistics()->text();
        QVERIFY2(figures.contains(day + gap + "09:00:00"), qPrintable(figures));

        const QString pdf = w.dir.filePath("chart.pdf");
        w.form->printView().setDialog([&pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        w.form->menus()->PrintChart->trigger();
        const QStringList pages = PdfPagesText(pdf);
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages[0].contains("Printed " + day + gap), qPrintable(pages[0]));
    }

    // The window does not widen when a schedule starts and "Next Auto Download:" appears,
    // even beside the progress bar of a download, and the time shows whole.
    void nextAutoDownloadLeavesTheWidthAsItIs() {
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        const int width = w.form->width();
        State& s = w.state();
        s.AutoClock.setText("2010/01/11, 12:00:00 PM");
        s.Progress.setVisible(true); // an automatic download under way
        s.TextForNextAuto.setVisible(true);
        s.AutoClockBox.setVisible(true);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const QLineEdit* clock = w.find<QLineEdit>("AutoClock");
        QVERIFY(clock->isVisible());
        QCOMPARE(w.form->width(), width);
        // The whole time shows, even in the longest format.
        QVERIFY(TextRoom(clock) >= clock->fontMetrics().horizontalAdvance(clock->text()));
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
