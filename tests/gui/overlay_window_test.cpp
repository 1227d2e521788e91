// The overlay in the window: lines and legend on the chart, the printed picture, the Chart
// menu's items, and the open dialog that takes several chart files.
#include "chart/chart_model.h"
#include "core/state.h"
#include "file_dialog_answer.h"
#include "files/overlay_loader.h"
#include "gui_window.h"
#include "overlay_files.h"
#include "plot/chart_view.h"
#include "ui/main_menu_view.h"

#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

// A shown window charting fridge_a.zlx (T+RH); fridge_b.zlx (T+RH, a gap) and fridge_c.zlx
// (T only) at hand.
struct Program : GuiWindow {
    OverlayFiles files;
    QByteArray a = files.write("fridge_a", {4, 5, 6, 7}, {50, 51, 52, 53});
    QByteArray b = files.write("fridge_b", {10, NoReading, 12, 13}, {40, NoReading, 60, 70});
    QByteArray c = files.write("fridge_c", {1, 2, 3});

    Program() {
        form->engine().loader().LoadChartFile(a);
        form->show();
    }
    void overlay(const QByteArray& path) { form->engine().overlayLoader().addOverlay(path); }
    // The chart as the plot shows it now.
    ChartView& view() {
        form->chartView()->syncNow();
        return *form->chartView();
    }
    // The legend's names (its grid leaves empty cells after the last row's items).
    QStringList legend() {
        QStringList names;
        QCPLegend* legend = view().legend;
        for (int i = 0; i < legend->itemCount(); ++i)
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i)))
                names << item->plottable()->name();
        return names;
    }
};

QStringList Values(QCPGraph* graph) {
    QStringList values;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        values << (std::isnan(it->value) ? QString("x") : QString::number(it->value));
    return values;
}

// Pixels of the first overlay's colour in part of the chart as the printer gets it.
int Printed(ChartView& view, const QRect& part) {
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    view.renderTo(painter, image.rect());
    int n = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == kOverlayPalette[0];
    return n;
}

} // namespace

class OverlayWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theLegendNamesEveryFileWhileAnOverlayIsOn() {
        Program p;
        QVERIFY(!p.view().legend->visible());
        const int graphs = p.view().graphCount();
        p.overlay(p.b);
        p.overlay(p.c);
        ChartView& view = p.view();
        QVERIFY(view.legend->visible());
        QCOMPARE(p.legend(), QStringList({"fridge_a.zlx", "fridge_a.zlx %RH", "fridge_b.zlx",
                                          "fridge_b.zlx %RH", "fridge_c.zlx"}));
        const std::vector<QCPGraph*>& lines = view.overlayGraphs().graphs();
        QCOMPARE(lines.size(), std::size_t(3));
        QCOMPARE(lines[1]->valueAxis(), view.yAxis2);
        QCOMPARE(lines[0]->pen().color().rgb() & 0xFFFFFF, kOverlayPalette[0]);
        QCOMPARE(lines[2]->pen().color().rgb() & 0xFFFFFF, kOverlayPalette[1]);
        // In F as the chart is, broken at the gap, inside the automatic temperature axis.
        QCOMPARE(Values(lines[0]), QStringList({"50", "x", "53.6", "55.4"}));
        QCOMPARE(Values(lines[1]), QStringList({"40", "x", "60", "70"}));
        QVERIFY(view.yAxis->range().contains(55.4) && view.yAxis->range().contains(33.8));

        p.form->menus()->NewClear->trigger();
        QVERIFY(!p.view().legend->visible());
        QCOMPARE(view.graphCount(), graphs);
        // A chart without humidity shows the humidity axis for an overlay with it.
        p.form->engine().loader().LoadChartFile(p.c);
        QVERIFY(!p.view().yAxis2->visible());
        p.overlay(p.b);
        QVERIFY(p.view().yAxis2->visible());
        QCOMPARE(p.legend(), QStringList({"fridge_c.zlx", "fridge_b.zlx", "fridge_b.zlx %RH"}));
    }

    void thePrintedChartShowsTheOverlayAndItsLegendBelowThePlot() {
        Program p;
        const QRect all(QPoint(), p.view().size());
        QCOMPARE(Printed(p.view(), all), 0);
        const QRect plot = p.view().axisRect()->rect();
        p.overlay(p.b);
        QVERIFY(Printed(p.view(), all) > 0);
        const QRect legend = p.view().legend->outerRect();
        QVERIFY(legend.top() > p.view().axisRect()->rect().bottom());
        QVERIFY(Printed(p.view(), legend) > 0);
        QVERIFY(Printed(p.view(), p.view().axisRect()->rect()) > 0);
        p.form->menus()->ClearOverlays->trigger();
        QCOMPARE(Printed(p.view(), all), 0);
        QCOMPARE(p.view().axisRect()->rect(), plot);
    }

    void theChartMenuOverlaysAndClears() {
        Program p;
        QMenu* chart = MenuTitled(p.form.get(), "Chart");
        QAction* overlay = ByText<QAction>(chart, "Overlay File...");
        QAction* clear = ByText<QAction>(chart, "Clear Overlays");
        QVERIFY(overlay && clear);
        // No other item of the window answers to its shortcut.
        QCOMPARE(overlay->shortcut(), QKeySequence("Ctrl+Shift+O"));
        for (QAction* other : p.form->findChildren<QAction*>())
            QVERIFY(other == overlay || other->shortcut() != overlay->shortcut());

        QVERIFY(!clear->isEnabled());
        ChooseInNextFileDialog([](QFileDialog&) {}, {QFile::decodeName(p.b)});
        overlay->trigger();
        QCOMPARE(p.state().Edit1.text(), QByteArray("Overlay added: fridge_b.zlx."));
        QVERIFY(clear->isEnabled());
        clear->trigger();
        QVERIFY(!clear->isEnabled());
        QVERIFY(p.chart().Overlays.empty());
    }

    void theOpenDialogForSeveralFilesShowsThePiecesTogether() {
        Program p;
        for (const char* name : {"T1202612site.zlx", "T1202612site_0.zxl", "T1202612site_1.zxl"})
            QVERIFY(QFile(p.dir.filePath(name)).open(QIODevice::WriteOnly));
        QStringList filters;
        bool several = false;
        ChooseInNextFileDialog(
            [&](QFileDialog& d) {
                filters = d.nameFilters();
                several = d.fileMode() == QFileDialog::ExistingFiles &&
                          d.acceptMode() == QFileDialog::AcceptOpen;
                d.setDirectory(p.dir.path());
            },
            {"T1202612site.zlx", "T1202612site_1.zxl"});
        const QList<QByteArray> chosen = p.form->openFilesDialog();
        QCOMPARE(filters, QStringList({"Chart files (.zlx, .zxl) (*.zlx *.zxl)", "All files (*)"}));
        QVERIFY(several);
        QCOMPARE(chosen,
                 QList<QByteArray>({QFile::encodeName(p.dir.filePath("T1202612site.zlx")),
                                    QFile::encodeName(p.dir.filePath("T1202612site_1.zxl"))}));
    }
};

QTEST_MAIN(OverlayWindowTest)
#include "overlay_window_test.moc"
