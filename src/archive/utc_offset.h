#pragma once

#include <QByteArray>
#include <QTimeZone>

#include <cstdint>
#include <optional>

namespace zantrel {

// How a file's times, read off the logger's own clock, become UTC: one fixed offset for the
// whole file. The logger's clock runs on evenly and never follows daylight saving, so shifting
// readings within a file would fold or tear it; the offset is that of a time zone at the
// file's first reading (when the clock was last set, as a rule) or one the user gives.
class UtcOffsetRule {
  public:
    // The machine's own time zone.
    static UtcOffsetRule MachineZone();
    // An IANA zone ("Europe/Berlin"); empty when the system does not know it.
    static std::optional<UtcOffsetRule> Zone(const QByteArray& ianaId);
    // A fixed offset "+hh:mm" or "-hh:mm" (hours up to 14, minutes below 60); empty otherwise.
    static std::optional<UtcOffsetRule> Fixed(const QByteArray& text);

    // Seconds east of UTC for a file whose first reading is the day count given. A first
    // reading in the hour skipped at a spring change takes the offset after it; one in the
    // hour repeated in autumn, the earlier (summer) offset.
    int secondsAt(double firstReading) const;

  private:
    explicit UtcOffsetRule(QTimeZone zone) : zone_(std::move(zone)) {}
    explicit UtcOffsetRule(int seconds) : fixed_(seconds) {}

    QTimeZone zone_;
    std::optional<int> fixed_;
};

// "+01:00", "-05:30", "+00:00".
QByteArray UtcOffsetText(int seconds);

// A day count of the logger's clock as milliseconds since 1970 in UTC, under the offset given.
int64_t UtcEpochMs(double loggerTime, int offsetSeconds);
// Milliseconds since 1970 as ISO-8601 in UTC: "2026-03-30T06:07:30Z", with ".250" before the
// "Z" only when the time is not a whole second.
void AppendUtcIso(QByteArray& out, int64_t utcMs);
QByteArray UtcIsoText(int64_t utcMs);

} // namespace zantrel
