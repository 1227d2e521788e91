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

double Milliseconds(double days) {
    return std::round(std::max(0.0, days) * 86400e3);
}

// The time reading i stands for, in whole milliseconds (so that sums are exact): to the next
// reading, or for the last reading the step before it; one interval where that is a hole.
double MillisecondsOf(const std::vector<double>& times, std::size_t i, double interval) {
    const std::size_t n = times.size();
    double days = 0;
    if (i + 1 < n)
        days = times[i + 1] - times[i];
    else if (n >= 2)
        days = times[n - 1] - times[n - 2];
    return Milliseconds(IsHole(days, interval) ? interval : days);
}

} // namespace

ChartStatistics ComputeChartStatistics(const ReadingsStore& store, const TimeRange& range,
                                       const StatisticsOptions& options) {
    ChartStatistics s;
    const std::vector<double>& times = store.ReadingTimes;
    const std::vector<float>& temps = store.Temperatures;
    static const std::vector<float> kNone;
    const std::vector<float>& rh = options.humidity ? store.Humidities : kNone;
    const std::size_t count = std::min(times.size(), temps.size());
    s.hasHumidity = !rh.empty();
    // Limits as stored values, so that a reading shown equal to a limit compares equal.
    const float low =
        options.low ? static_cast<float>(*options.low) : -std::numeric_limits<float>::infinity();
    const float high =
        options.high ? static_cast<float>(*options.high) : std::numeric_limits<float>::infinity();

    Accumulator temperature, humidity;
    const double interval = StorageInterval(times);
    double belowMs = 0, aboveMs = 0, missingMs = 0;
    KineticMean kinetic(options.activationEnergy);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = times[i];
        if (!(t >= range.from && t <= range.to)) continue;
        if (i + 1 < count && IsHole(times[i + 1] - t, interval))
            missingMs += Milliseconds(times[i + 1] - t) - Milliseconds(interval);
        if (i < rh.size() && !IsGapValue(rh[i])) humidity.add(rh[i], t);
        const float c = temps[i];
        if (IsGapValue(c)) {
            ++s.gaps;
            continue;
        }
        if (temperature.n == 0) s.first = t;
        s.last = t;
        temperature.add(c, t);
        kinetic.add(c);
        if (c < low) {
            ++s.below.readings;
            belowMs += MillisecondsOf(times, i, interval);
        } else if (c > high) {
            ++s.above.readings;
            aboveMs += MillisecondsOf(times, i, interval);
        }
    }

    s.below.hours = belowMs / 3600e3;
    s.above.hours = aboveMs / 3600e3;
    s.missingHours = missingMs / 3600e3;
    s.readings = temperature.n;
    if (s.readings) {
        s.minimum = temperature.low;
        s.maximum = temperature.high;
        s.mean = temperature.mean();
        s.stdev = temperature.stdev();
        s.mkt = kinetic.celsius();
    }
    s.humidityReadings = humidity.n;
    if (humidity.n) {
        s.humidityMinimum = humidity.low;
        s.humidityMaximum = humidity.high;
        s.humidityMean = humidity.mean();
    }
    return s;
}

} // namespace zantrel
