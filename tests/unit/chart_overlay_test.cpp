// Overlaying other chart files: the lines they add, what they leave alone, when they go, and
// the files that cannot be overlaid.
#include "chart/chart_model.h"
#include "chart_file_harness.h"
#include "core/state.h"
#include "files/overlay_loader.h"
#include "overlay_files.h"

#include <QtTest>

using namespace zantrel;

namespace {

// A chart loaded from fridge_a.zlx in Celsius, with fridge_b.zlx (a gap in both channels) at hand.
struct Overlaid {
    OverlayFiles files;
    ChartFileHarness h;
    QByteArray main = files.write("fridge_a", {4, 5, 6, 7});
    QByteArray other = files.write("fridge_b", {10, NoReading, 12, 13}, {40, NoReading, 60, 70});

    Overlaid() {
        h.s().TempInF.setChecked(false);
        h.engine->loader().LoadChartFile(main);
    }
    OverlayLoader& loader() { return h.engine->overlayLoader(); }
    const ChartOverlays& overlays() { return h.engine->chart().Overlays; }
    QByteArray status() { return h.s().Edit1.text(); }
    bool storeIs(const ReadingsStore& r) {
        const ReadingsStore& s = h.store();
        return s.ReadingTimes == r.ReadingTimes && s.Temperatures == r.Temperatures &&
               s.Humidities == r.Humidities && s.Events == r.Events;
    }
};

// The points of a series, "x" for a null point.
QStringList Values(const ChartSeries& series) {
    QStringList values;
    for (int i = 0; i < series.PointCount(); ++i)
        values << (series.isNull(i) ? QString("x") : QString::number(series.y(i)));
    return values;
}

} // namespace

class ChartOverlayTest : public QObject {
    Q_OBJECT
  private slots:
    void anOverlayDrawsTheOtherFileInTheUnitShownAndLeavesTheChartAlone() {
        Overlaid o;
        QVERIFY(!o.main.isEmpty() && !o.other.isEmpty());
        const ReadingsStore before = o.h.store();
        const QByteArray caption = o.h.s().Caption.text();
        o.loader().addOverlay(o.other);
        QCOMPARE(o.status(), QByteArray("Overlay added: fridge_b.zlx."));
        const ChartOverlay& overlay = o.overlays().overlays().at(0);
        QCOMPARE(overlay.name, QByteArray("fridge_b.zlx"));
        QCOMPARE(o.overlays().mainName(), QByteArray("fridge_a.zlx"));
        // The gap breaks both lines; the times are the file's own.
        QCOMPARE(Values(overlay.Temperature), QStringList({"10", "x", "12", "13"}));
        QCOMPARE(Values(overlay.Humidity), QStringList({"40", "x", "60", "70"}));
        QCOMPARE(overlay.Temperature.x(3), Every15s(3));
        // The readings (so the statistics and what is saved) and the caption stay the chart's.
        QVERIFY(o.storeIs(before));
        QCOMPARE(o.h.s().Caption.text(), caption);

        o.h.s().TempInF.setChecked(true);
        QCOMPARE(Values(overlay.Temperature), QStringList({"50", "x", "53.6", "55.4"}));
        QCOMPARE(Values(overlay.Humidity), QStringList({"40", "x", "60", "70"}));
        // Saved under another name, the chart is named so in the legend.
        o.h.save("renamed.csv");
        QCOMPARE(o.overlays().mainName(), QByteArray("renamed.csv"));
    }

    void aHoleInTheRecordBreaksTheLineToo() {
        ChartOverlays overlays;
        ReadingsStore r;
        for (const double step : {0, 1, 2, 5, 6}) {
            r.ReadingTimes.push_back(Every15s(step));
            r.Temperatures.push_back(step);
        }
        overlays.add("f.zlx", r, false);
        QCOMPARE(Values(overlays.overlays()[0].Temperature),
                 QStringList({"0", "1", "2", "x", "5", "6"}));
        QCOMPARE(overlays.overlays()[0].Humidity.PointCount(), 0);
    }

    void overlaysGoWithTheChart() {
        Overlaid o;
        o.loader().addOverlay(o.other);
        o.h.engine->ClearBuffer();
        QVERIFY(o.overlays().empty());
        o.loader().addOverlay(o.other);
        o.h.engine->loader().LoadChartFile(o.main);
        QVERIFY(o.overlays().empty());
        o.loader().addOverlay(o.other);
        o.loader().addOverlay(o.main);
        o.loader().ClearOverlaysClick();
        QVERIFY(o.overlays().empty());
        QCOMPARE(o.status(), QByteArray("Overlays cleared."));
        QCOMPARE(o.h.store().Temperatures.size(), std::size_t(4));
    }

    void aFileThatCannotBeOverlaidSaysWhyAndChangesNothing() {
        Overlaid o;
        o.loader().addOverlay(o.other);
        const uint64_t generation = o.overlays().generation();
        const ReadingsStore before = o.h.store();
        o.h.dir.put("broken.zlx", "~Date Format: mm/dd/yyyy hh:mm:ss\r\n?not scrambled\r\n");
        o.h.dir.put("empty.zlx", "~Date Format: mm/dd/yyyy hh:mm:ss\r\n");
        QVERIFY(QDir(o.h.dir.file("")).mkdir("folder.zlx"));
        const QList<std::pair<QByteArray, QByteArray>> cases = {
            {o.h.pathOf("missing.zlx"),
             "Overlay not added: missing.zlx cannot be opened. No such file or directory."},
            {o.h.pathOf("folder.zlx"),
             "Overlay not added: folder.zlx cannot be opened. Is a directory."},
            {o.h.pathOf("broken.zlx"),
             "Overlay not added: broken.zlx: Error in file. Data is corrupt."},
            {o.h.pathOf("empty.zlx"), "Overlay not added: empty.zlx: The file holds no readings."},
        };
        for (const auto& [path, text] : cases) {
            o.loader().addOverlay(path);
            QCOMPARE(o.status(), text);
            QCOMPARE(o.overlays().generation(), generation);
        }
        QVERIFY(o.storeIs(before));
        QVERIFY(o.h.host.messages.isEmpty());
    }
};

QTEST_MAIN(ChartOverlayTest)
#include "chart_overlay_test.moc"
