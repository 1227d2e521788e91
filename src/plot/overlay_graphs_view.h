#pragma once

#include "plot/series_graphs_view.h"

#include <cstdint>
#include <vector>

class QCPGraph;
class QCustomPlot;
class QCPAxis;

namespace zantrel {

class ChartOverlays;

// The overlaid files on the plot: a temperature line on the temperature axis and, for a file
// with humidity, a dashed %RH line on the humidity axis, both in the file's colour. While any
// overlay is on, the legend below the plot names the main chart's lines and each file's.
class OverlayGraphs {
  public:
    OverlayGraphs(QCustomPlot* plot, QCPAxis* timeAxis, QCPAxis* temperatureAxis,
                  QCPAxis* humidityAxis);

    // Rebuilds the graphs and the legend when the overlays changed; mainTemperature and
    // mainHumidity are the main chart's lines (the humidity one named only when it is shown).
    void sync(const ChartOverlays& overlays, QCPGraph* mainTemperature, QCPGraph* mainHumidity,
              bool mainHumidityShown);

    bool empty() const { return graphs_.empty(); }
    bool humidity() const { return humidityValues_.found; }
    const std::vector<QCPGraph*>& graphs() const { return graphs_; }
    const Extent& keys() const { return keys_; }
    const Extent& temperatureValues() const { return temperatureValues_; }
    const Extent& humidityValues() const { return humidityValues_; }

  private:
    void clear();
    void rebuild(const ChartOverlays& overlays);
    void showLegend(bool shown);
    void fillLegend(const ChartOverlays& overlays, QCPGraph* mainTemperature,
                    QCPGraph* mainHumidity);

    QCustomPlot* plot_;
    QCPAxis* timeAxis_;
    QCPAxis* temperatureAxis_;
    QCPAxis* humidityAxis_;
    std::vector<QCPGraph*> graphs_;
    uint64_t generation_ = UINT64_MAX;
    bool mainHumidityShown_ = false;
    Extent keys_, temperatureValues_, humidityValues_;
};

} // namespace zantrel
