// Overlaying other chart files on the chart: the lines they add, what they leave alone, when
// they go, and the files that cannot be overlaid.
#include "chart/chart_model.h"
#include "chart/chart_overlays.h"
#include "chart_file_harness.h"
#include "core/state.h"
#include "files/overlay_loader.h"
#include "overlay_files.h"

#include <QtTest>

using namespace zantrel;

namespace {

// A chart loaded from fridge_a.zlx (in Celsius), with fridge_b.zlx (a gap in both channels) beside
// it.
struct Overlaid {
    OverlayFiles files;
    ChartFileHarness h;
    QByteArray main = files.write("fridge_a", {4, 5, 6, 7});
    QByteArray other = files.write("fridge_b", {10, NoReading, 12, 13}, {40, NoReading, 60, 70});

    // Temperatures shown in Celsius, as read.
    Overlaid() {
        h.s().TempInF.setChecked(false);
        h.engine->loader().LoadChartFile(main);
    }
    OverlayLoader& loader() { return h.engine->overlayLoader(); }
    const ChartOverlays& overlays() { return h.engine->chart().Overlays; }
    QByteArray status() { return h.s().Edit1.text(); }
};

// The points of a series as text: "x" for a null point.
QStringList Values(const ChartSeries& series) {
    QStringList values;
    for (int i = 0; i < series.PointCount(); ++i)
        values << (series.isNull(i) ? QString("x") : QString::number(series.y(i)));
    return values;
}

// Everything a store holds, to see that nothing changed.
QList<QList<double>> Contents(const ReadingsStore& store) {
    QList<QList<double>> all{{store.ReadingTimes.begin(), store.ReadingTimes.end()},
                             {store.Temperatures.begin(), store.Temperatures.end()},
                             {store.Humidities.begin(), store.Humidities.end()}};
    for (const auto& events : store.Events)
        all.append(QList<double>(events.begin(), events.end()));
    return all;
}

} // namespace

class ChartOverlayTest : public QObject {
    Q_OBJECT
  private slots:
    void anOverlayDrawsTheOtherFileAndLeavesTheChartAlone() {
        Overlaid o;
        QVERIFY(!o.main.isEmpty() && !o.other.isEmpty());
        QCOMPARE(o.status(), QByteArray("File loaded."));
        const auto before = Contents(o.h.store());
        const QByteArray caption = o.h.s().Caption.text();
        const int mainPoints = o.h.engine->chart().Series1.PointCount();

        o.loader().addOverlay(o.other);
        QCOMPARE(o.status(), QByteArray("Overlay added: fridge_b.zlx."));
        QCOMPARE(o.overlays().overlays().size(), std::size_t(1));
        const ChartOverlay& overlay = o.overlays().overlays()[0];
        QCOMPARE(overlay.name, QByteArray("fridge_b.zlx"));
        QCOMPARE(o.overlays().mainName(), QByteArray("fridge_a.zlx"));
        // The gap breaks both lines; the times are the file's own.
        QCOMPARE(Values(overlay.Temperature), QStringList({"10", "x", "12", "13"}));
        QCOMPARE(Values(overlay.Humidity), QStringList({"40", "x", "60", "70"}));
        QCOMPARE(overlay.Temperature.x(3), Every15s(3));
        QVERIFY(overlay.colour != kRed && overlay.colour != kBlue);

        // The readings (and so the statistics and what is saved), the caption and the main
        // lines are the chart's own.
        QCOMPARE(Contents(o.h.store()), before);
        QCOMPARE(o.h.s().Caption.text(), caption);
        QCOMPARE(o.h.engine->chart().Series1.PointCount(), mainPoints);
    }

    void overlayTemperaturesFollowTheUnit() {
        Overlaid o;
        o.loader().addOverlay(o.other);
        const ChartOverlay& overlay = o.overlays().overlays()[0];
        QCOMPARE(Values(overlay.Temperature), QStringList({"10", "x", "12", "13"}));
        o.h.s().TempInF.setChecked(true);
        QCOMPARE(Values(overlay.Temperature), QStringList({"50", "x", "53.6", "55.4"}));
        // Humidity has no unit to follow.
        QCOMPARE(Values(overlay.Humidity), QStringList({"40", "x", "60", "70"}));
        // An overlay added while F is shown starts in F.
        o.loader().addOverlay(o.main);
        QCOMPARE(Values(o.overlays().overlays()[1].Temperature),
                 QStringList({"39.2", "41", "42.8", "44.6"}));
    }

    void everyOverlayHasItsOwnColour() {
        Overlaid o;
        QList<uint32_t> colours;
        for (int i = 0; i < int(kOverlayPalette.size()); ++i) {
            o.loader().addOverlay(o.other);
            colours << o.overlays().overlays().back().colour;
        }
        QCOMPARE(QSet<uint32_t>(colours.begin(), colours.end()).size(), colours.size());
        QVERIFY(!colours.contains(kRed) && !colours.contains(kBlue));
        // A file without humidity draws no humidity line.
        o.loader().addOverlay(o.main);
        QCOMPARE(o.overlays().overlays().back().Humidity.PointCount(), 0);
    }

    void overlaysGoWithTheChart() {
        Overlaid o;
        o.loader().addOverlay(o.other);
        o.h.engine->ClearBuffer();
        QVERIFY(o.overlays().empty());
        QVERIFY(o.overlays().mainName().isEmpty());

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
        const auto before = Contents(o.h.store());
        o.h.dir.put("broken.zlx", "~Date Format: mm/dd/yyyy hh:mm:ss\r\n?not a scrambled line\r\n");
        o.h.dir.put("empty.zlx", "~Date Format: mm/dd/yyyy hh:mm:ss\r\n");
        o.h.dir.put("undated.zlx", "no date format here\r\n");
        QVERIFY(QDir(o.h.dir.file("")).mkdir("folder.zlx"));
        const QList<std::pair<QString, QByteArray>> cases = {
            {"missing.zlx",
             "Overlay not added: missing.zlx cannot be opened. No such file or directory."},
            {"folder.zlx", "Overlay not added: folder.zlx cannot be opened. Is a directory."},
            {"broken.zlx", "Overlay not added: broken.zlx: Error in file. Data is corrupt."},
            {"undated.zlx", "Overlay not added: undated.zlx: Date format not valid in file."},
            {"empty.zlx", "Overlay not added: empty.zlx: The file holds no readings."},
        };
        for (const auto& [name, text] : cases) {
            o.loader().addOverlay(o.h.pathOf(name));
            QCOMPARE(o.status(), text);
            QCOMPARE(o.overlays().generation(), generation);
        }
        o.loader().addOverlay("/dev/null");
        QCOMPARE(o.status(),
                 QByteArray("Overlay not added: null cannot be opened. Not a regular file."));
        QCOMPARE(o.overlays().overlays().size(), std::size_t(1));
        QCOMPARE(Contents(o.h.store()), before);
        QCOMPARE(o.h.host.messages.size(), 0);
    }

    void theChosenFileIsOverlaidAndACancelChangesNothing() {
        Overlaid o;
        o.h.host.openPath = std::nullopt;
        o.loader().OverlayFileClick();
        QVERIFY(o.overlays().empty());
        QCOMPARE(o.status(), QByteArray("File loaded."));
        o.h.host.openPath = o.other;
        o.loader().OverlayFileClick();
        QCOMPARE(o.h.host.openDialogs, 2);
        QCOMPARE(o.status(), QByteArray("Overlay added: fridge_b.zlx."));
    }

    void theLegendNameFollowsTheChartsName() {
        Overlaid o;
        o.loader().addOverlay(o.other);
        o.h.save("renamed.csv");
        QCOMPARE(o.overlays().mainName(), QByteArray("renamed.csv"));
        QCOMPARE(o.overlays().overlays().size(), std::size_t(1));
    }

    void aChartWithoutReadingsHasNoLegendNameOfItsOwn() {
        Overlaid o;
        o.h.engine->ClearBuffer();
        o.loader().addOverlay(o.other);
        QCOMPARE(o.overlays().overlays().size(), std::size_t(1));
        QVERIFY(o.overlays().mainName().isEmpty());
    }
};

QTEST_MAIN(ChartOverlayTest)
#include "chart_overlay_test.moc"
