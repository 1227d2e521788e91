#include "sim/stored_channel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zantrel::sim {

namespace {

// A small deterministic noise source, so that a seed always gives the same series.
class Noise {
  public:
    explicit Noise(unsigned seed) : state_(seed * 2654435761u + 1) {}
    // Uniform in [-1, 1].
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1u << 23) - 1.0;
    }

  private:
    unsigned state_;
};

// A room that warms by day and cools by night, with a slow drift and some sensor noise.
double generatedCelsius(const QDateTime& time, int index, Noise& noise) {
    const QTime clock = time.time();
    const double hours = clock.hour() + clock.minute() / 60.0;
    const double daily = 3.0 * std::sin(2 * std::numbers::pi * (hours - 9) / 24);
    const double drift = 0.8 * std::sin(2 * std::numbers::pi * index / 700.0);
    return 21.0 + daily + drift + 0.3 * noise.next();
}

int generatedHumidity(double celsius, Noise& noise) {
    const long rh = std::lround(50.0 - 2.5 * (celsius - 21.0) + 3.0 * noise.next());
    return static_cast<int>(std::clamp(rh, 0L, 100L));
}

} // namespace

StoredChannel::StoredChannel(const ChannelConfig& config, const RawScale& scale)
    : kind_(config.kind), period_(config.storagePeriodSeconds), first_(config.firstReading) {
    if (kind_ == ChannelKind::NoData) return;
    Noise noise(config.seed);
    readings_.reserve(config.readingCount);
    for (int i = 0; i < config.readingCount; ++i) {
        StoredReading r;
        r.time = first_.addSecs(qint64(i) * period_);
        const double generated = generatedCelsius(r.time, i, noise);
        const double wanted = i < int(config.celsius.size()) ? config.celsius[i] : generated;
        const int generatedRh = generatedHumidity(wanted, noise);
        if (std::find(config.gaps.begin(), config.gaps.end(), i) != config.gaps.end()) {
            r.gap = true;
            r.raw = kGapCode;
            r.celsius = NAN;
        } else {
            r.raw = scale.encode(wanted);
            r.celsius = scale.decode(r.raw);
            if (hasHumidity())
                r.humidity = i < int(config.humidity.size()) ? config.humidity[i] : generatedRh;
        }
        readings_.push_back(r);
    }
    for (const EventMark& mark : config.events) {
        if (mark.beforeReading < 0 || mark.beforeReading >= config.readingCount) continue;
        events_.push_back({mark.code, mark.beforeReading, readings_[mark.beforeReading].time});
    }
    std::stable_sort(events_.begin(), events_.end(), [](const auto& a, const auto& b) {
        return a.beforeReading < b.beforeReading;
    });
}

QDateTime StoredChannel::lastTime() const {
    return readings_.empty() ? first_ : readings_.back().time;
}

int StoredChannel::indexAt(const QDateTime& start) const {
    const int size = int(readings_.size());
    if (period_ <= 0) return 0;
    const qint64 seconds = first_.secsTo(start);
    if (seconds <= 0) return 0;
    return int(std::min<qint64>(seconds / period_, size));
}

ReadingSpan StoredChannel::span(const QDateTime& start, int count) const {
    const int first = indexAt(start);
    const int available = int(readings_.size()) - first;
    return {first, std::clamp(count, 0, available)};
}

} // namespace zantrel::sim
