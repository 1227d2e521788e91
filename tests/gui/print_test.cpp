// Printing the chart through the main window, to a PDF file standing in for a printer.
#include "chart/chart_model.h"
#include "chart/chart_presenter.h"
#include "chart/readings_store.h"
#include "core/date_rendering.h"
#include "core/state.h"
#include "gui_window.h"
#include "ui/main_menu_view.h"
#include "ui/main_window.h"
#include "ui/print_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace zantrel;

namespace {

// The page objects of a PDF (Qt never compresses the object dictionaries).
int PageCount(const QByteArray& pdf) {
    static const QRegularExpression page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

// The text of a PDF, when a tool to extract it is installed; empty otherwise.
QString PdfText(const QString& path) {
    QProcess tool;
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty())
        tool.start("pdftotext", {"-layout", path, "-"});
    else if (!QStandardPaths::findExecutable("gs").isEmpty())
        tool.start("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=txtwrite",
                          "-sOutputFile=-", path});
    else
        return {};
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// A started window in a fresh settings folder (port "NA") showing a few readings, with
// the print dialog replaced by one that prints to a PDF file in portrait.
struct Program : StartedWindow {
    QString pdf = dir.filePath("chart.pdf");
    int dialogs = 0;

    Program() {
        form->printView().setDialog([this](QPrinter& printer) {
            ++dialogs;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageOrientation(QPageLayout::Portrait);
            return true;
        });
        showReadings();
        form->show();
    }

    void showReadings() {
        Engine& e = form->engine();
        ReadingsStore& store = e.readings();
        for (int i = 0; i < 6; ++i) {
            store.ReadingTimes.push_back(40179.5 + i / 96.0);
            store.Temperatures.push_back(20.0f + i);
            store.Humidities.push_back(40.0f + 2 * i);
        }
        e.state().RHZL.tick();
        e.presenter().RedrawChart();
    }
    void print() { form->menus()->PrintChart->trigger(); }
};

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
  private slots:
    void printsTheChartOnOneLandscapePage() {
        Program p;
        const QList<QByteArray> foot = p.form->engine().chart().Foot;
        p.print();
        QCOMPARE(p.dialogs, 1);
        QVERIFY(p.boxes.seen.isEmpty());
        const QByteArray pdf = ReadFile(p.pdf);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.size() > 1000);
        QCOMPARE(PageCount(pdf), 1);
        // A landscape page is wider than high.
        QRegularExpression mediaBox(R"(/MediaBox \[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])");
        const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(pdf));
        QVERIFY(box.hasMatch());
        QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
        // The printer is back as the user left it, and the screen foot has no stamp.
        QCOMPARE(p.form->printView().printer().pageLayout().orientation(), QPageLayout::Portrait);
        QCOMPARE(p.form->engine().chart().Foot, foot);
    }

    void thePrintoutCarriesTheStamp() {
        Program p;
        Engine& e = p.form->engine();
        e.state().LockImage.setVisible(true);
        p.print();
        // Extraction turns the runs of blanks into tabs and spaces; compare words.
        const QString text = PdfText(p.pdf).simplified();
        if (text.isEmpty()) QSKIP("no PDF text extraction tool installed");
        const QString printed =
            "Printed " +
            QString::fromLatin1(FormatDateTime(e.state().DATEFORMAT.text(), p.clock.now()));
        QVERIFY2(text.contains("[Secure Data] " + printed), qPrintable(text));
        QVERIFY(text.contains("TWO DIMENSIONAL TEMPERATURE RECORDER"));
        QVERIFY(text.contains("Units=F"));
        QVERIFY2(text.contains("File: not saved Channel 1 ZL ID=none"), qPrintable(text));
        QCOMPARE(e.state().Edit1.text(), "Chart printed to " + QFile::encodeName(p.pdf) + ".");

        // A chart from a file names the file, without its folder.
        e.state().Caption.setText(e.state().BaseCaption + " | /data/logs/fridge.zlx");
        e.state().UnitId = "17";
        e.state().RadioButton2.setChecked(true);
        e.state().RadioButton1.setChecked(false);
        p.print();
        QVERIFY2(PdfText(p.pdf).simplified().contains("File: fridge.zlx Channel 2 ZL ID=17"),
                 qPrintable(PdfText(p.pdf)));
    }

    void aFileThatCannotBeWrittenIsReported() {
        Program p;
        p.pdf = p.dir.filePath("missing-folder/chart.pdf");
        p.print();
        QCOMPARE(p.boxes.seen,
                 QStringList({"Problem|Cannot print. Check the printer or the file name."}));
        QCOMPARE(p.form->printView().printer().pageLayout().orientation(), QPageLayout::Portrait);
    }

    // The real dialog, shut as soon as it shows: a PDF is offered in the program's folder,
    // wherever the current folder went since the start.
    void thePdfIsOfferedInTheProgramsFolder() {
        StartedWindow w;
        QDir::setCurrent(QDir::homePath());
        QString offered = "no print dialog";
        QTimer::singleShot(0, [&offered] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* file = dialog->findChild<QLineEdit*>("filename");
            offered = file ? file->text() : "no file field";
            dialog->reject();
        });
        w.form->menus()->PrintChart->trigger();
        QCOMPARE(offered, w.dir.filePath("print.pdf"));
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
