// The overlay in the window: its lines and legend on the chart, the printed picture, the
// Chart menu's items, and the open dialog that takes several chart files.
#include "chart/chart_model.h"
#include "chart/chart_overlays.h"
#include "core/state.h"
#include "file_dialog_answer.h"
#include "files/overlay_loader.h"
#include "gui_window.h"
#include "overlay_files.h"
#include "ui/chart_view.h"
#include "ui/main_menu_view.h"
#include "ui/main_window.h"

#include <QAction>
#include <QtTest>
#include <cmath>

using namespace zantrel;

namespace {

// A shown window charting fridge_a.zlx (T+RH), with fridge_b.zlx (T+RH, a gap) and
// fridge_c.zlx (T only) at hand.
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
    ChartView& view() { return *form->chartView(); }
    // The chart as the plot shows it now.
    ChartView& synced() {
        view().syncNow();
        return view();
    }
};

QStringList LegendNames(QCustomPlot& plot) {
    QStringList names;
    for (int i = 0; i < plot.legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i)))
            names << item->plottable()->name();
    return names;
}

QStringList Values(QCPGraph* graph) {
    QStringList values;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        values << (std::isnan(it->value) ? QString("x") : QString::number(it->value));
    return values;
}

// Pixels of the colour in the part of the image.
int Pixels(const QImage& image, uint32_t rgb, const QRect& part) {
    int n = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == rgb) ++n;
    return n;
}

// The chart drawn as the printer gets it.
QImage Printed(ChartView& view) {
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    view.renderTo(painter, image.rect());
    painter.end();
    return image;
}

} // namespace

class OverlayWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theLegendNamesEveryFileWhileAnOverlayIsOn() {
        Program p;
        QVERIFY(!p.synced().legend->visible());
        const int graphs = p.view().graphCount();
        p.overlay(p.b);
        p.overlay(p.c);
        ChartView& view = p.synced();
        QVERIFY(view.legend->visible());
        QCOMPARE(LegendNames(view), QStringList({"fridge_a.zlx", "fridge_a.zlx %RH", "fridge_b.zlx",
                                                 "fridge_b.zlx %RH", "fridge_c.zlx"}));
        const std::vector<QCPGraph*>& lines = view.overlayGraphs().graphs();
        QCOMPARE(lines.size(), std::size_t(3));
        QCOMPARE(lines[0]->valueAxis(), view.yAxis);
        QCOMPARE(lines[1]->valueAxis(), view.yAxis2);
        QCOMPARE(lines[0]->pen().color().rgb() & 0xFFFFFF, kOverlayPalette[0]);
        QCOMPARE(lines[2]->pen().color().rgb() & 0xFFFFFF, kOverlayPalette[1]);
        // Shown in F by default, broken at the gap.
        QCOMPARE(Values(lines[0]), QStringList({"50", "x", "53.6", "55.4"}));
        QCOMPARE(Values(lines[1]), QStringList({"40", "x", "60", "70"}));
        // The temperature axis takes in the overlay's readings.
        QVERIFY(view.yAxis->range().contains(55.4) && view.yAxis->range().contains(39.2));

        p.form->menus()->NewClear->trigger();
        p.synced();
        QVERIFY(!view.legend->visible());
        QCOMPARE(view.legend->itemCount(), 0);
        QCOMPARE(view.graphCount(), graphs);
    }

    void anOverlayWithHumidityShowsTheHumidityAxis() {
        Program p;
        p.form->engine().loader().LoadChartFile(p.c);
        QVERIFY(!p.synced().yAxis2->visible());
        p.overlay(p.b);
        QVERIFY(p.synced().yAxis2->visible());
        QCOMPARE(LegendNames(p.view()),
                 QStringList({"fridge_c.zlx", "fridge_b.zlx", "fridge_b.zlx %RH"}));
        QVERIFY(p.view().yAxis2->range().contains(40) && p.view().yAxis2->range().contains(70));
    }

    void thePrintedChartShowsTheOverlayAndItsLegend() {
        Program p;
        const uint32_t green = kOverlayPalette[0];
        QCOMPARE(Pixels(Printed(p.view()), green, QRect(QPoint(), p.view().size())), 0);
        const QRect before = p.view().axisRect()->rect();
        p.overlay(p.b);
        const QImage printed = Printed(p.view());
        const QRect legend = p.view().legend->outerRect();
        QVERIFY(p.view().legend->visible());
        QVERIFY(Pixels(printed, green, legend) > 0);
        QVERIFY(Pixels(printed, green, p.view().axisRect()->rect()) >
                Pixels(printed, green, legend));

        // The legend has a place of its own, below the plot, and gives it back when cleared.
        const QRect plot = p.view().axisRect()->rect();
        QVERIFY(!legend.intersects(plot));
        QVERIFY(legend.top() > plot.bottom());

        p.form->menus()->ClearOverlays->trigger();
        QCOMPARE(Pixels(Printed(p.view()), green, QRect(QPoint(), p.view().size())), 0);
        QCOMPARE(p.view().axisRect()->rect(), before);
    }

    void theChartMenuOverlaysAndClears() {
        Program p;
        QMenu* chart = MenuTitled(p.form.get(), "Chart");
        QVERIFY(chart);
        QAction* overlay = ByText<QAction>(chart, "Overlay File...");
        QAction* clear = ByText<QAction>(chart, "Clear Overlays");
        QVERIFY(overlay && clear);
        QCOMPARE(overlay, p.form->menus()->OverlayFile);
        // Every key of the menu and every shortcut of the window picks one item.
        QSet<QChar> keys;
        for (QAction* item : chart->actions())
            if (!item->isSeparator()) keys.insert(Mnemonic(item->text()));
        QCOMPARE(keys.size(), int(chart->actions().size()) - 1);
        QCOMPARE(overlay->shortcut(), QKeySequence("Ctrl+Shift+O"));
        for (QAction* other : p.form->findChildren<QAction*>())
            if (other != overlay) QVERIFY(other->shortcut() != overlay->shortcut());

        QVERIFY(!clear->isEnabled());
        ChooseInNextFileDialog([](QFileDialog&) {}, {QFile::decodeName(p.b)});
        overlay->trigger();
        QCOMPARE(p.state().Edit1.text(), QByteArray("Overlay added: fridge_b.zlx."));
        QVERIFY(clear->isEnabled());
        clear->trigger();
        QCOMPARE(p.state().Edit1.text(), QByteArray("Overlays cleared."));
        QVERIFY(!clear->isEnabled());
        QVERIFY(p.chart().Overlays.empty());
    }

    void theOpenDialogForSeveralFilesShowsThePiecesTogether() {
        Program p;
        for (const char* name : {"T1202612site.zlx", "T1202612site_0.zxl", "T1202612site_1.zxl"})
            QVERIFY(QFile(p.dir.filePath(name)).open(QIODevice::WriteOnly));
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
        ChooseInNextFileDialog(
            [&](QFileDialog& d) {
                filters = d.nameFilters();
                mode = d.fileMode();
                accept = d.acceptMode();
                d.setDirectory(p.dir.path());
            },
            {"T1202612site.zlx", "T1202612site_1.zxl"});
        const QList<QByteArray> chosen = p.form->openFilesDialog();
        QCOMPARE(filters, QStringList({"Chart files (.zlx, .zxl) (*.zlx *.zxl)", "All files (*)"}));
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        QCOMPARE(accept, QFileDialog::AcceptOpen);
        QCOMPARE(chosen,
                 QList<QByteArray>({QFile::encodeName(p.dir.filePath("T1202612site.zlx")),
                                    QFile::encodeName(p.dir.filePath("T1202612site_1.zxl"))}));

        ChooseInNextFileDialog([](QFileDialog&) {}, {});
        QVERIFY(p.form->openFilesDialog().isEmpty());
    }
};

QTEST_MAIN(OverlayWindowTest)
#include "overlay_window_test.moc"
