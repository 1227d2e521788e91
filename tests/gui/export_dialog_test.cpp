// File, "Export...": the chart's files exported in the format and under the offset chosen,
// through the save dialog, the status line saying where the file went; a chart that was not
// loaded from files, a bad offset and a failed write are said and write nothing.
#include "export_charts.h"
#include "file_dialog_answer.h"
#include "gui_window.h"
#include "ui/export_dialog.h"
#include "ui/main_menu_view.h"
#include "ui/main_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace zantrel;

namespace {

// A started window with a saved chart of 4, gap, 6 loaded.
struct ExportWindow : GuiWindow {
    ChartFileHarness h;
    ExportWindow() {
        ExportChart chart;
        chart.celsius = {4, NoReading, 6};
        form->engine().loader().LoadChartFile(SaveExportChart(h, "fridge.csv", chart));
    }
    // The dialog the menu item opens (one closed before may not be deleted yet).
    ExportDialog* open() {
        form->menus()->Export->trigger();
        for (ExportDialog* dialog : form->findChildren<ExportDialog*>())
            if (dialog->isVisible()) return dialog;
        return nullptr;
    }
    // Exports, answering the file dialog with name (cancelling it when empty).
    void make(ExportDialog* dialog, const QString& name) {
        ChooseInNextFileDialog([](QFileDialog&) {},
                               name.isEmpty() ? QStringList() : QStringList{name});
        dialog->accept();
    }
    QString status() { return QString::fromLatin1(state().Edit1.text()); }
};

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void exportsTheLoadedFileUnderAFixedOffset() {
        ExportWindow w;
        QVERIFY(w.form->menus()->Export->isEnabled());
        ExportDialog* dialog = w.open();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->formatBox()->currentText(), QString("CSV"));
        QVERIFY(dialog->machineZoneChoice()->isChecked());
        dialog->fixedOffsetChoice()->setChecked(true);
        dialog->offsetEdit()->setText("+02:00");
        const QString csv = w.dir.filePath("fridge-export.csv");
        w.make(dialog, csv);
        QCOMPARE(w.status(), "Exported 2 readings and 1 gap of 1 file to " + csv + ".");
        QVERIFY(!dialog->isVisible());
        QVERIFY(
            ReadFile(csv).contains("\r\n2010-02-28T22:00:00Z,03/01/2010 00:00:00,17,Lab 2,1,4,,0"));

        // The workbook's ending follows the format when the name has none.
        dialog = w.open();
        dialog->formatBox()->setCurrentText("Excel workbook");
        w.make(dialog, w.dir.filePath("book"));
        QCOMPARE(w.status(),
                 "Exported 2 readings and 1 gap of 1 file to " + w.dir.filePath("book.xlsx") + ".");
        QVERIFY(ReadFile(w.dir.filePath("book.xlsx")).startsWith("PK"));
    }

    void refusalsAndFailuresAreSaid() {
        ExportWindow w;
        ExportDialog* dialog = w.open();
        dialog->fixedOffsetChoice()->setChecked(true);
        dialog->offsetEdit()->setText("two hours");
        dialog->accept();
        QCOMPARE(dialog->note(), QString("The offset must read +HH:MM or -HH:MM, such as +01:00."));
        dialog->machineZoneChoice()->setChecked(true);
        const QString before = w.status();
        w.make(dialog, {}); // the file dialog is cancelled: the export dialog stays
        QVERIFY(dialog->isVisible());
        QCOMPARE(w.status(), before);
        w.make(dialog, w.dir.filePath("missing/out.csv"));
        QCOMPARE(w.status(), "Nothing exported. Cannot write " + w.dir.filePath("missing/out.csv") +
                                 ": No such file or directory.");
        QVERIFY(dialog->isVisible());
        dialog->reject();

        // Readings that came from the logger and were never loaded from a file.
        GuiWindow fresh;
        fresh.form->engine().readings().ReadingTimes.push_back(Every15s(0));
        fresh.form->engine().readings().Temperatures.push_back(5);
        auto* shown = fresh.form->showExport();
        shown->accept();
        QCOMPARE(shown->note(),
                 QString("Save the chart first; exports are made from chart files."));
        QCOMPARE(fresh.state().Edit1.text(),
                 QByteArray("Save the chart first; exports are made from chart files."));
        QVERIFY(shown->isVisible());
    }
};

QTEST_MAIN(ExportDialogTest)
#include "export_dialog_test.moc"
