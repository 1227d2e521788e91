#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>

namespace zantrel {

struct ReadingsStore;

// Activation energy of the mean kinetic temperature unless the user sets another, kJ/mol.
inline constexpr double kDefaultActivationEnergy = 83.144;
// The gas constant, J/(mol K).
inline constexpr double kGasConstant = 8.314462618;
// 0 degrees Celsius in kelvin.
inline constexpr double kZeroCelsius = 273.15;

// The part of the chart the figures are taken over: the readings whose time lies between
// from and to (day counts), both included.
struct TimeRange {
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
};

// The band of allowed temperatures (Celsius; either side may be left open), how long
// readings must stay outside it to make an excursion, and the activation energy of the mean
// kinetic temperature.
struct StatisticsOptions {
    std::optional<double> low;
    std::optional<double> high;
    double delayMinutes = 0;
    double activationEnergy = kDefaultActivationEnergy; // kJ/mol
    // Whether the chart carries humidity (RHZL): a temperature-only chart loaded from a file
    // may hold a humidity of 0 for every reading, which is no humidity.
    bool humidity = true;
};

// A lowest or highest value and the time of its first occurrence.
struct Extreme {
    double value = 0;
    double time = 0;
};

// Readings outside one side of the band: how many, and how long they stand for.
struct Excursion {
    std::size_t readings = 0;
    double hours = 0;
};

// The figures of a time range of the readings. Gaps (readings without a value) count only in
// `gaps`; every other figure is taken over the readings with a value. Temperatures are
// Celsius, humidities percent, times day counts. The figures below `readings` mean something
// only when readings > 0.
//
// Time outside the band: each reading stands for the time from it to the next reading of the
// store, gap or not (the store's last reading for the step before it). The logger writes a
// gap reading for every missing reading, so that interval is its storage interval, and a
// regular record gives readings times interval, as one would count by hand; a gap's own
// interval counts on neither side, since nothing is known of it. A reading in the range
// brings its whole interval even when the next reading lies past the range's end, so hours
// and share always describe the same readings. A hole in the record (more than one and a half
// storage intervals to the next reading, as between files merged) is missing time: the
// reading before it stands for one interval, the rest of the hole counts in `missingHours`. A
// reading exactly on a limit is inside the band: the limit is compared as the 32-bit value the
// readings are stored in.
struct ChartStatistics {
    std::size_t readings = 0;
    std::size_t gaps = 0;
    double missingHours = 0; // time in holes beyond one storage interval
    double first = 0;        // time of the first reading with a value
    double last = 0;         // time of the last one
    Extreme minimum;
    Extreme maximum;
    double mean = 0;
    double stdev = 0; // of all readings of the range (not of a sample), so n, not n - 1
    // Mean kinetic temperature, Celsius; empty when a reading lies at or below absolute zero.
    std::optional<double> mkt;
    Excursion below; // readings under options.low
    Excursion above; // readings over options.high

    bool hasHumidity = false; // the chart carries humidity and the store holds it
    std::size_t humidityReadings = 0;
    Extreme humidityMinimum;
    Extreme humidityMaximum;
    double humidityMean = 0;

    double shareBelow() const { return share(below.readings); }
    double shareAbove() const { return share(above.readings); }

  private:
    double share(std::size_t n) const {
        return readings ? static_cast<double>(n) / static_cast<double>(readings) : 0;
    }
};

// A reading without a value: the gap mark, or anything the chart does not draw.
inline bool IsGapValue(float value) {
    return !(value < 9998.0f);
}

// The band's limits as the 32-bit values the readings are stored in, an open side as an
// infinity, so that a reading shown equal to a limit compares equal and lies inside.
struct StoredBand {
    explicit StoredBand(const StatisticsOptions& options);
    bool below(float celsius) const { return celsius < low; }
    bool above(float celsius) const { return celsius > high; }
    float low, high;
};

// Gathers the figures reading by reading, so that one pass over the store can fill the
// figures of several ranges; interval is the store's storage interval.
class StatisticsGatherer {
  public:
    StatisticsGatherer(const ReadingsStore& store, const StatisticsOptions& options,
                       double interval);
    StatisticsGatherer(StatisticsGatherer&&) noexcept;
    ~StatisticsGatherer();

    // Counts reading i of the store.
    void add(std::size_t i);
    ChartStatistics result() const;

  private:
    struct Sums;
    const ReadingsStore& store_;
    bool humidity_;
    StoredBand band_;
    double interval_;
    std::unique_ptr<Sums> sums_;
};

// The figures of the readings in range, in one pass over the store.
ChartStatistics ComputeChartStatistics(const ReadingsStore& store, const TimeRange& range,
                                       const StatisticsOptions& options);

} // namespace zantrel
