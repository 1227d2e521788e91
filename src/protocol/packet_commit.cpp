#include "protocol/packet_commit.h"

#include "chart/chart_model.h"
#include "chart/event_labels.h"
#include "chart/readings_store.h"
#include "protocol/packet_stage.h"

namespace zantrel {

namespace {

// A session's first packet whose events would be marked anyway: then no reading needs the
// "." that otherwise makes the first drawn point carry a label.
bool FirstPacketWithEvents(const PacketStage& stage, const ReadingsStore& store) {
    if (stage.times.empty() || !store.Temperatures.empty()) return false;
    return HasEventsInRange(stage.events, stage.times.front(), stage.times.back());
}

uint32_t AfterGap(const std::vector<float>& values, uint32_t colour) {
    return !values.empty() && values.back() == NoReading ? kSilver : colour;
}

} // namespace

void CommitPacket(const PacketStage& stage, ReadingsStore& store, ChartModel& chart,
                  bool fahrenheit) {
    const bool firstWithEvents = FirstPacketWithEvents(stage, store);
    store.ReadingTimes.insert(store.ReadingTimes.end(), stage.times.begin(), stage.times.end());
    for (int kind = 0; kind < EventKindCount; ++kind)
        store.Events[kind].insert(store.Events[kind].end(), stage.events[kind].begin(),
                                  stage.events[kind].end());

    EventLabeller labeller(stage.events);
    for (std::size_t i = 0; i < stage.temperatures.size(); ++i) {
        const double t = stage.times[i];
        const float c = stage.temperatures[i];
        const bool sessionStart = store.Temperatures.empty();
        QByteArray label = labeller.next(t, sessionStart ? 1 : 0);
        const double y = fahrenheit ? c * 1.8 + 32 : c;
        if (sessionStart) {
            chart.Series1.ClearPoints();
            chart.Series2.ClearPoints();
        }
        if (chart.Series1.PointCount() == 0 && chart.Series2.PointCount() == 0 && label.isEmpty() &&
            !firstWithEvents)
            label = ".";
        if (c < NoReading) chart.Series1.AddPoint(t, y, {}, AfterGap(store.Temperatures, kRed));
        if (i < stage.humidities.size()) {
            const float h = stage.humidities[i];
            if (h < NoReading)
                chart.Series2.AddPoint(t, h, label, AfterGap(store.Humidities, kBlue));
            store.Humidities.push_back(h);
        } else if (c < NoReading) {
            chart.Series2.AddNullPoint(t, label);
        }
        store.Temperatures.push_back(c);
    }
}

} // namespace zantrel
