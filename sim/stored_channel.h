#pragma once

#include "sim/logger_config.h"
#include "sim/raw_scale.h"

#include <vector>

namespace zantrel::sim {

// One stored reading as the logger keeps it, with what it stands for.
struct StoredReading {
    QDateTime time;
    bool gap = false;
    int raw = 0;        // the 16-bit temperature reading (kGapCode for a gap)
    double celsius = 0; // what raw stands for; NaN for a gap
    int humidity = -1;  // %RH, 0..100; -1 when the channel has no humidity sensor or for a gap
};

struct StoredEvent {
    EventCode code = EventCode::TempAlarmStart;
    int beforeReading = 0;
    QDateTime time; // the time of the reading it precedes
};

// The records a request returns: readings [first, first + count) and the events before them.
struct ReadingSpan {
    int first = 0;
    int count = 0;
};

// The memory of one logger channel: its readings and events, built once from the
// configuration and never changed.
class StoredChannel {
  public:
    StoredChannel(const ChannelConfig& config, const RawScale& scale);

    ChannelKind kind() const { return kind_; }
    bool hasHumidity() const { return kind_ == ChannelKind::TemperatureRh; }
    int storagePeriodSeconds() const { return period_; }
    QDateTime firstTime() const { return first_; }
    // The newest reading's time (the first reading's when nothing is stored).
    QDateTime lastTime() const;
    const std::vector<StoredReading>& readings() const { return readings_; }
    // In record order: events before the same reading keep the configured order.
    const std::vector<StoredEvent>& events() const { return events_; }

    // The reading a request starting at `start` begins with: the one whose storage interval
    // holds that time, i.e. the last reading at or before it (0 for an earlier time, the
    // number of readings for a time past the newest reading's interval).
    int indexAt(const QDateTime& start) const;
    ReadingSpan span(const QDateTime& start, int count) const;

  private:
    ChannelKind kind_;
    int period_;
    QDateTime first_;
    std::vector<StoredReading> readings_;
    std::vector<StoredEvent> events_;
};

} // namespace zantrel::sim
