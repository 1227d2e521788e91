#pragma once

#include <QByteArray>

namespace zantrel {

class Clock;
class Dialogs;
struct ChartModel;
struct ReadingsStore;
struct State;

// Status lines of the overlay: "Overlay added: fridge_b.zlx.", "Overlay not added: fridge_b.zlx
// cannot be opened. No such file or directory.", "Overlay not added: fridge_b.zlx: Error in
// file. Data is corrupt."
inline constexpr const char* kOverlayAdded = "Overlay added: ";
inline constexpr const char* kOverlayNotAdded = "Overlay not added: ";
inline constexpr const char* kOverlayCannotOpen = " cannot be opened. ";
inline constexpr const char* kOverlayNoReadings = "The file holds no readings.";
inline constexpr const char* kOverlaysCleared = "Overlays cleared.";

// Chart, "Overlay File...": reads another chart file and draws its readings over the chart,
// leaving the chart's own readings, statistics and caption as they are.
class OverlayLoader {
  public:
    OverlayLoader(State& state, const ReadingsStore& readings, ChartModel& chart, Dialogs& dialogs,
                  Clock& clock);
    void OverlayFileClick();
    void ClearOverlaysClick();
    // Adds the chart file at path as an overlay, or says in the status line why not.
    void addOverlay(const QByteArray& path);

  private:
    // The main chart's name in the legend: what its caption names, none without readings.
    QByteArray mainName() const;

    State& state_;
    const ReadingsStore& readings_;
    ChartModel& chart_;
    Dialogs& dialogs_;
    Clock& clock_;
};

} // namespace zantrel
