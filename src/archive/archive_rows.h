#pragma once

#include "archive/utc_offset.h"
#include "chart/readings_store.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace zantrel {

struct LoadedChart;

// One reading as the archive and the exports take it.
struct ArchiveReading {
    int64_t utcMs = 0;             // milliseconds since 1970, UTC
    const QByteArray* localTime{}; // as the chart file writes it; valid during the visit only
    std::optional<float> celsius;  // empty for a gap
    std::optional<float> rh;       // empty for a gap or a channel without humidity
    std::array<int, EventKindCount> events{}; // the counts the file's row holds
    bool gap() const { return !celsius.has_value(); }
};

// A parsed chart file as rows for the archive and the exports: the unit's ZL ID, location and
// user name from its header, its channel, and its readings in UTC under one offset.
class ArchiveRows {
  public:
    // The chart must outlive this. The offset is the rule's at the first reading.
    ArchiveRows(const LoadedChart& chart, const QByteArray& path, const UtcOffsetRule& rule);

    const QByteArray& unit() const { return unit_; }
    const QByteArray& location() const { return location_; }
    const QByteArray& userName() const { return userName_; }
    int channel() const { return channel_; }
    const QByteArray& sourceFile() const { return sourceFile_; }
    bool encrypted() const;
    bool humidity() const;
    int offsetSeconds() const { return offsetSeconds_; }
    std::size_t size() const;
    // The first and the last reading's time in UTC; 0 without readings.
    int64_t firstUtcMs() const;
    int64_t lastUtcMs() const;

    // Visits every reading in order.
    void forEach(const std::function<void(const ArchiveReading&)>& visit) const;

  private:
    const LoadedChart& chart_;
    QByteArray unit_;
    QByteArray location_;
    QByteArray userName_;
    QByteArray sourceFile_;
    int channel_ = 1;
    int offsetSeconds_ = 0;
};

// The channel a chart file holds: 2 for channel 2's monthly files ("T2202612site.zlx"), 1 for
// every other name.
int ChannelOfFile(const QByteArray& fileName);

} // namespace zantrel
