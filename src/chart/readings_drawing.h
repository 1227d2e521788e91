#pragma once

#include <optional>

namespace zantrel {

struct ChartModel;
struct ReadingsStore;

// Puts the readings of store onto the chart's two series, replacing what they held: the
// temperatures in Fahrenheit or Celsius (which becomes the unit of the whole chart), the humidities
// when the chart carries them, gap readings as breaks drawn in silver, holes in the record as
// breaks one interval after the reading before them, and the events as labels of the humidity
// series (test starts "ts"). Returns the time of the last reading drawn from, empty when the store
// holds none.
std::optional<double> DrawReadings(const ReadingsStore& store, bool fahrenheit, bool humidity,
                                   ChartModel& chart);

} // namespace zantrel
