#pragma once

#include "chart/chart_series.h"
#include "chart/readings_store.h"
#include "core/observable.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

namespace zantrel {

// Colours of the overlays in the order they are added, none of them the main series' red or
// blue; a seventh overlay takes the first colour again.
inline constexpr std::array<uint32_t, 6> kOverlayPalette = {0x009600, 0xFF8C00, 0x8000A0,
                                                            0x00A0A0, 0x8C5014, 0xDC00B4};

// Another chart file drawn over the chart for comparison: its name for the legend, its colour
// and its readings as lines. A gap reading is a null point, so the line breaks there, and so
// does a hole in its record.
struct ChartOverlay {
    QByteArray name;
    uint32_t colour = 0;
    bool humidity = false;   // the file has a humidity channel
    ReadingsStore readings;  // as read, temperatures in Celsius
    ChartSeries Temperature; // in the unit the chart shows
    ChartSeries Humidity;    // empty without a humidity channel
};

// The files overlaid on the chart. They are for looking only: the readings store, the
// statistics and saving never see them. Views rebuild whenever generation() changes.
class ChartOverlays : public Observable {
  public:
    void add(const QByteArray& name, ReadingsStore readings, bool humidity);
    // Removes every overlay (and the main chart's legend name).
    void clear();
    // Shows the temperatures in Fahrenheit or Celsius: the unit of the whole chart, so views
    // hear of a change even without an overlay.
    void setFahrenheit(bool on);
    // The main chart's entry in the legend; empty when the chart has no readings of its own.
    void setMainName(const QByteArray& name);

    bool empty() const { return overlays_.empty(); }
    const std::vector<ChartOverlay>& overlays() const { return overlays_; }
    const QByteArray& mainName() const { return mainName_; }
    bool fahrenheit() const { return fahrenheit_; }
    uint64_t generation() const { return generation_; }

  private:
    void draw(ChartOverlay& overlay) const;
    void changed();

    std::vector<ChartOverlay> overlays_;
    QByteArray mainName_;
    bool fahrenheit_ = false;
    uint64_t generation_ = 0;
};

} // namespace zantrel
