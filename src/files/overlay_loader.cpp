#include "files/overlay_loader.h"

#include "chart/chart_model.h"
#include "chart/readings_store.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "files/chart_file_parse.h"
#include "files/regular_file.h"

#include <optional>

namespace zantrel {

namespace {

constexpr int kFallbackYear = 2000;

// The last part of a path.
QByteArray FileName(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// What the caption says the chart is ("run.zlx" of "Zantrel | /data/run.zlx", "Channel 1"
// after an upload); "Chart" when it says nothing.
QByteArray ChartNameOfCaption(const QByteArray& caption) {
    const qsizetype bar = caption.indexOf(" | ");
    if (bar < 0) return "Chart";
    QList<QByteArray> parts = caption.mid(bar + 3).split('|');
    for (QByteArray& part : parts)
        part = FileName(part.trimmed());
    return parts.join(" | ");
}

} // namespace

OverlayLoader::OverlayLoader(State& state, const ReadingsStore& readings, ChartModel& chart,
                             Dialogs& dialogs, Clock& clock)
    : state_(state), readings_(readings), chart_(chart), dialogs_(dialogs), clock_(clock) {
    // A chart saved under another name is named so in the legend.
    state_.Caption.subscribe([this] {
        if (!chart_.Overlays.empty()) chart_.Overlays.setMainName(mainName());
    });
}

QByteArray OverlayLoader::mainName() const {
    return readings_.ReadingTimes.empty() ? QByteArray()
                                          : ChartNameOfCaption(state_.Caption.text());
}

void OverlayLoader::OverlayFileClick() {
    if (const std::optional<QByteArray> path = dialogs_.openFile()) addOverlay(*path);
}

void OverlayLoader::ClearOverlaysClick() {
    chart_.Overlays.clear();
    state_.Edit1.setText(kOverlaysCleared);
}

void OverlayLoader::addOverlay(const QByteArray& path) {
    const QByteArray name = FileName(path);
    const QByteArray notAdded = kOverlayNotAdded + name;
    QByteArray why;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, why);
    if (!bytes) {
        state_.Edit1.setText(notAdded + kOverlayCannotOpen + why);
        return;
    }
    const auto today = DecodeDateTime(clock_.now());
    ChartParse parse = ParseChartFile(std::string_view(bytes->constData(), bytes->size()),
                                      today ? today->year : kFallbackYear);
    if (!parse.chart) {
        state_.Edit1.setText(notAdded + ": " + parse.failure);
        return;
    }
    if (parse.chart->readings.ReadingTimes.empty()) {
        state_.Edit1.setText(notAdded + ": " + kOverlayNoReadings);
        return;
    }
    ChartOverlays& overlays = chart_.Overlays;
    overlays.setFahrenheit(state_.TempInF.checked());
    overlays.setMainName(mainName());
    overlays.add(name, std::move(parse.chart->readings), parse.chart->humidity);
    state_.Edit1.setText(kOverlayAdded + name + ".");
}

} // namespace zantrel
