#include "chart/chart_statistics.h"

#include "chart/readings_store.h"
#include "chart/storage_interval.h"

#include <algorithm>
#include <cmath>

namespace zantrel {

namespace {

// Running lowest, highest and sum of one quantity. Sums are taken from the first value so
// that the variance keeps its digits when the values lie far from zero.
struct Accumulator {
    std::size_t n = 0;
    Extreme low, high;
    double origin = 0, sum = 0, squares = 0;

    void add(float value, double time) {
        if (n == 0) {
            low = high = {value, time};
            origin = value;
        } else if (value < low.value) {
            low = {value, time};
        } else if (value > high.value) {
            high = {value, time};
        }
        const double d = value - origin;
        sum += d;
        squares += d * d;
        ++n;
    }
    double mean() const { return origin + sum / static_cast<double>(n); }
    double stdev() const {
        const double m = sum / static_cast<double>(n);
        return std::sqrt(std::max(0.0, squares / static_cast<double>(n) - m * m));
    }
};

// The mean of exp(-dH / (R T)) over the readings, kept as a sum of exp(a - shift) with shift
// the exponent of the first reading, so that it never underflows.
class KineticMean {
  public:
    explicit KineticMean(double activationEnergy)
        : k_(activationEnergy * 1000.0 / kGasConstant), valid_(std::isfinite(k_) && k_ > 0) {}

    void add(float celsius) {
        const double kelvin = celsius + kZeroCelsius;
        if (!(kelvin > 0)) {
            valid_ = false;
            return;
        }
        const double exponent = -k_ / kelvin;
        if (n_ == 0) shift_ = exponent;
        sum_ += std::exp(exponent - shift_);
        ++n_;
    }

    // MKT = (dH/R) / -ln(mean of exp(-dH / (R T))), in Celsius.
    std::optional<double> celsius() const {
        if (!valid_ || n_ == 0) return std::nullopt;
        const double lnMean = std::log(sum_ / static_cast<double>(n_)) + shift_;
        const double kelvin = k_ / -lnMean;
        if (!std::isfinite(kelvin) || kelvin <= 0) return std::nullopt;
        return kelvin - kZeroCelsius;
    }

  private:
    double k_;
    bool valid_;
    std::size_t n_ = 0;
    double shift_ = 0, sum_ = 0;
};

} // namespace

StoredBand::StoredBand(const StatisticsOptions& options)
    : low(options.low ? static_cast<float>(*options.low) : -std::numeric_limits<float>::infinity()),
      high(options.high ? static_cast<float>(*options.high)
                        : std::numeric_limits<float>::infinity()) {}

struct StatisticsGatherer::Sums {
    explicit Sums(double activationEnergy) : kinetic(activationEnergy) {}
    ChartStatistics s;
    Accumulator temperature, humidity;
    KineticMean kinetic;
    double belowMs = 0, aboveMs = 0, missingMs = 0;
};

StatisticsGatherer::StatisticsGatherer(const ReadingsStore& store, const StatisticsOptions& options,
                                       double interval)
    : store_(store), humidity_(options.humidity), band_(options), interval_(interval),
      sums_(std::make_unique<Sums>(options.activationEnergy)) {
    sums_->s.hasHumidity = humidity_ && !store.Humidities.empty();
}

StatisticsGatherer::StatisticsGatherer(StatisticsGatherer&&) noexcept = default;
StatisticsGatherer::~StatisticsGatherer() = default;

void StatisticsGatherer::add(std::size_t i) {
    Sums& m = *sums_;
    const std::vector<double>& times = store_.ReadingTimes;
    const std::size_t count = std::min(times.size(), store_.Temperatures.size());
    const double t = times[i];
    if (i + 1 < count && IsHole(times[i + 1] - t, interval_))
        m.missingMs += Milliseconds(times[i + 1] - t) - Milliseconds(interval_);
    const std::vector<float>& rh = store_.Humidities;
    if (humidity_ && i < rh.size() && !IsGapValue(rh[i])) m.humidity.add(rh[i], t);
    const float c = store_.Temperatures[i];
    if (IsGapValue(c)) {
        ++m.s.gaps;
        return;
    }
    if (m.temperature.n == 0) m.s.first = t;
    m.s.last = t;
    m.temperature.add(c, t);
    m.kinetic.add(c);
    if (band_.below(c)) {
        ++m.s.below.readings;
        m.belowMs += ReadingMilliseconds(times, i, interval_);
    } else if (band_.above(c)) {
        ++m.s.above.readings;
        m.aboveMs += ReadingMilliseconds(times, i, interval_);
    }
}

ChartStatistics StatisticsGatherer::result() const {
    const Sums& m = *sums_;
    ChartStatistics s = m.s;
    s.below.hours = m.belowMs / 3600e3;
    s.above.hours = m.aboveMs / 3600e3;
    s.missingHours = m.missingMs / 3600e3;
    s.readings = m.temperature.n;
    if (s.readings) {
        s.minimum = m.temperature.low;
        s.maximum = m.temperature.high;
        s.mean = m.temperature.mean();
        s.stdev = m.temperature.stdev();
        s.mkt = m.kinetic.celsius();
    }
    s.humidityReadings = m.humidity.n;
    if (m.humidity.n) {
        s.humidityMinimum = m.humidity.low;
        s.humidityMaximum = m.humidity.high;
        s.humidityMean = m.humidity.mean();
    }
    return s;
}

ChartStatistics ComputeChartStatistics(const ReadingsStore& store, const TimeRange& range,
                                       const StatisticsOptions& options) {
    const std::vector<double>& times = store.ReadingTimes;
    const std::size_t count = std::min(times.size(), store.Temperatures.size());
    StatisticsGatherer gatherer(store, options, StorageInterval(times));
    for (std::size_t i = 0; i < count; ++i)
        if (times[i] >= range.from && times[i] <= range.to) gatherer.add(i);
    return gatherer.result();
}

} // namespace zantrel
