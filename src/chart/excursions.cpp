#include "chart/excursions.h"

#include "chart/readings_store.h"
#include "chart/storage_interval.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zantrel {

namespace {

// The run being followed through the readings, and the excursions it has made so far.
class RunTracker {
  public:
    explicit RunTracker(double delayMinutes) : delayMs_(std::round(delayMinutes * 60e3)) {}

    bool open() const { return run_.has_value(); }
    BandSide side() const { return run_->side; }

    // A reading outside the band on side, taken at t with the value celsius, standing for ms
    // milliseconds up to end.
    void extend(BandSide side, float celsius, double t, double ms, double end) {
        if (!run_) {
            run_ = ExcursionPeriod{side, t, end, 0, {celsius, t}, 0, false};
        } else if (side == BandSide::Below ? celsius < run_->peak.value
                                           : celsius > run_->peak.value) {
            run_->peak = {celsius, t};
        }
        ++run_->readings;
        run_->end = end;
        runMs_ += ms;
    }

    // Ends the open run at end (its last interval's end unless given); it is an excursion
    // when it lasted at least the delay.
    void close(std::optional<double> end, bool byGap) {
        if (!run_) return;
        if (end) run_->end = *end;
        run_->endedByGap = byGap;
        run_->hours = runMs_ / 3600e3;
        if (runMs_ >= delayMs_) {
            (run_->side == BandSide::Below ? belowMs_ : aboveMs_) += runMs_;
            result_.periods.push_back(*run_);
        }
        run_.reset();
        runMs_ = 0;
    }

    Excursions result() {
        close(std::nullopt, false);
        result_.hoursBelow = belowMs_ / 3600e3;
        result_.hoursAbove = aboveMs_ / 3600e3;
        return result_;
    }

  private:
    double delayMs_;
    std::optional<ExcursionPeriod> run_;
    double runMs_ = 0, belowMs_ = 0, aboveMs_ = 0;
    Excursions result_;
};

} // namespace

Excursions FindExcursions(const ReadingsStore& store, const TimeRange& range,
                          const StatisticsOptions& options, double delayMinutes) {
    const std::vector<double>& times = store.ReadingTimes;
    const std::size_t count = std::min(times.size(), store.Temperatures.size());
    const double interval = StorageInterval(times);
    const StoredBand band(options);
    RunTracker tracker(delayMinutes);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = times[i];
        if (!(t >= range.from && t <= range.to)) continue;
        const float c = store.Temperatures[i];
        if (IsGapValue(c)) {
            tracker.close(t, true);
            continue;
        }
        std::optional<BandSide> side;
        if (band.below(c))
            side = BandSide::Below;
        else if (band.above(c))
            side = BandSide::Above;
        if (tracker.open() && side != tracker.side()) tracker.close(t, false);
        if (!side) continue;
        tracker.extend(*side, c, t, ReadingMilliseconds(times, i, interval),
                       ReadingEnd(times, i, interval));
        if (i + 1 < count && IsHole(times[i + 1] - t, interval)) tracker.close(std::nullopt, true);
    }
    return tracker.result();
}

} // namespace zantrel
