#include "ui/limit_band_feed.h"

#include "chart/chart_model.h"
#include "chart/excursions.h"
#include "chart/stored_statistics_settings.h"
#include "engine/engine.h"

#include <QPointer>
#include <QTimer>

namespace zantrel {

LimitBandFeed::LimitBandFeed(Engine& engine, QObject* parent) : QObject(parent), engine_(engine) {
    QPointer<LimitBandFeed> self(this);
    auto schedule = [self] {
        if (self) self->schedule();
    };
    engine_.statisticsSettings().subscribe(schedule);
    // Every change of the readings redraws the temperature series.
    engine_.chart().Series1.subscribe(schedule);
    refreshNow();
}

void LimitBandFeed::schedule() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, &LimitBandFeed::refreshNow);
}

void LimitBandFeed::refreshNow() {
    pending_ = false;
    const StatisticsOptions& options = engine_.statisticsSettings().options();
    std::vector<ShadedSpan> spans;
    if (options.low || options.high) {
        const Excursions found = FindExcursions(engine_.readings(), {}, options, 0);
        spans.reserve(found.periods.size());
        for (const ExcursionPeriod& period : found.periods)
            spans.push_back({period.start, period.end, period.side == BandSide::Above});
    }
    engine_.chart().Limits.set(options.low, options.high, std::move(spans));
}

} // namespace zantrel
