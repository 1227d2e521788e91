// File, "Report...": the dialog starts from the statistics' band in the chart's unit and writes
// the compliance report of the chart to a PDF file or the printer, saying in the status line
// where it went or why it did not.
#include "chart/chart_presenter.h"
#include "chart/stored_statistics_settings.h"
#include "chart_file_harness.h"
#include "file_dialog_answer.h"
#include "gui_window.h"
#include "pdf_text.h"
#include "ui/main_menu_view.h"
#include "ui/print_view.h"
#include "ui/report_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace zantrel;

namespace {

// The text of a PDF as pdftotext reads it, blanks run together.
QString PdfText(const QString& path) {
    return PdfPagesText(path).join('\n').simplified();
}

// Two hours of a fridge every 15 seconds, warm for ten minutes.
struct ChartFile {
    ChartFileHarness h;
    ChartFile() {
        for (int i = 0; i < 480; ++i) {
            h.store().ReadingTimes.push_back(Every15s(i));
            h.store().Temperatures.push_back(i >= 100 && i < 140 ? 9.5f : 5.0f);
        }
        h.save("fridge.csv");
    }
};

// A started window with the fridge's chart loaded; the print dialog prints to a PDF file.
struct ReportWindow : GuiWindow {
    ChartFile file;
    QString printed = dir.filePath("printed.pdf");
    ReportWindow() {
        form->printView().setDialog([this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        });
        form->engine().loader().LoadChartFile(file.h.pathOf("fridge.zlx"));
    }
    // The dialog the menu item opens (one closed before may not be deleted yet).
    ReportDialog* open() {
        form->menus()->Report->trigger();
        for (ReportDialog* dialog : form->findChildren<ReportDialog*>())
            if (dialog->isVisible()) return dialog;
        return nullptr;
    }
    // Makes the report, answering the file dialog with name (cancelling it when empty).
    void make(ReportDialog* dialog, const QString& name) {
        ChooseInNextFileDialog([](QFileDialog&) {},
                               name.isEmpty() ? QStringList() : QStringList{name});
        dialog->accept();
    }
    QString status() { return QString::fromLatin1(state().Edit1.text()); }
};

} // namespace

class ReportDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void itsItemFollowsPrintAndNeedsReadings() {
        GuiWindow empty;
        QAction* item = empty.form->menus()->Report;
        QCOMPARE(item->text(), QString("&Report..."));
        QCOMPARE(item->shortcut(), QKeySequence("Ctrl+R"));
        QStringList items;
        for (QAction* action : MenuTitled(empty.form.get(), "File")->actions())
            items << Shown(action->text());
        QCOMPARE(items.indexOf("Report..."), items.indexOf("Print Chart") + 1);
        for (QAction* other : empty.form->findChildren<QAction*>())
            QVERIFY(other == item || other->shortcut() != item->shortcut());
        QVERIFY(!item->isEnabled());

        ReportWindow w;
        QVERIFY(w.form->menus()->Report->isEnabled());
        w.form->engine().ClearBuffer();
        QVERIFY(!w.form->menus()->Report->isEnabled());
    }

    void startsFromTheStatisticsBandInTheChartsUnit() {
        ReportWindow w;
        ReportDialog* dialog = w.open();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->unitBox()->currentText(), QString("Fahrenheit (F)"));
        QCOMPARE(dialog->lowEdit()->text(), QString("35.6"));
        QCOMPARE(dialog->highEdit()->text(), QString("46.4"));
        QCOMPARE(dialog->delayBox()->value(), 0);
        QVERIFY(dialog->pdfChoice()->isChecked());
        // The limits stay the same temperatures in the other unit.
        dialog->highEdit()->setText("50");
        dialog->unitBox()->setCurrentIndex(0);
        QCOMPARE(dialog->lowEdit()->text(), QString("2"));
        QCOMPARE(dialog->highEdit()->text(), QString("10"));
        dialog->reject();

        // The delay too is the statistics' setting.
        StatisticsOptions settings = w.form->engine().statisticsSettings().options();
        settings.delayMinutes = 45;
        w.form->engine().statisticsSettings().set(settings);
        w.state().TempInF.setChecked(false);
        w.form->engine().presenter().TempInFClick();
        dialog = w.open();
        QCOMPARE(dialog->unitBox()->currentText(), QString("Celsius (C)"));
        QCOMPARE(dialog->highEdit()->text(), QString("8"));
        QCOMPARE(dialog->delayBox()->value(), 45);
    }

    void writesThePdfTheFileDialogNames() {
        ReportWindow w;
        ReportDialog* dialog = w.open();
        dialog->reviewerEdit()->setText("Dana Whitfield");
        dialog->meaningEdit()->setText("Reviewed and approved");
        const QString pdf = w.dir.filePath("fridge-report.pdf");
        w.make(dialog, pdf);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(w.status(), "Report saved to " + pdf + ".");
        QVERIFY(!dialog->isVisible());
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains("Dana Whitfield"), qPrintable(text));
        QVERIFY(text.contains("Reviewed and approved"));
        QVERIFY(text.contains("Page 1 of"));
    }

    void cancellingWritesNothing() {
        ReportWindow w;
        const QString before = w.status();
        ReportDialog* dialog = w.open();
        w.make(dialog, {}); // the file dialog is cancelled: the report dialog stays
        QVERIFY(dialog->isVisible());
        QCOMPARE(w.status(), before);
        dialog->reject();
        QVERIFY(QDir(w.dir.path()).entryList({"*.pdf"}).isEmpty());
    }

    void refusalsAndFailuresAreSaid() {
        ReportWindow w;
        ReportDialog* dialog = w.open();
        // Refused before any file is asked for.
        dialog->lowEdit()->setText("cold");
        dialog->accept();
        QCOMPARE(dialog->note(), QString("A limit is a number, or empty for none."));
        dialog->lowEdit()->setText("60");
        dialog->accept();
        QCOMPARE(dialog->note(), QString("The low limit must not be above the high limit."));
        dialog->lowEdit()->setText("");
        dialog->meaningEdit()->setText("Approved");
        dialog->accept();
        QCOMPARE(dialog->note(), QString("The meaning of a review needs the reviewer's name."));
        dialog->meaningEdit()->clear();

        // A folder that does not exist: said in the status line, nothing written.
        w.make(dialog, w.dir.filePath("missing/report.pdf"));
        QVERIFY2(w.status().startsWith("No report written. Cannot write report.pdf"),
                 qPrintable(w.status()));
        QVERIFY(dialog->isVisible());
        QVERIFY(QDir(w.dir.path()).entryList({"*.pdf"}).isEmpty());
    }

    void printsThroughThePrintDialog() {
        ReportWindow w;
        ReportDialog* dialog = w.open();
        dialog->printerChoice()->setChecked(true);
        dialog->accept();
        QCOMPARE(w.status(), QString("Report sent to the printer."));
        QVERIFY(PdfText(w.printed).contains("Page 1 of"));
        QCOMPARE(w.form->printView().printer().pageLayout().orientation(), QPageLayout::Portrait);
    }
};

QTEST_MAIN(ReportDialogTest)
#include "report_dialog_test.moc"
