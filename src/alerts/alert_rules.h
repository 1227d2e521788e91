#pragma once

#include "alerts/alert.h"
#include "chart/excursions.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <vector>

namespace zantrel {

class AlertLog;
class Clock;
class DownloadRecord;
struct ReadingsStore;

// The band an excursion leaves (Celsius; either side may be open) and how long, in minutes,
// readings must stay outside it to make one.
struct AlertLimits {
    std::optional<double> low, high;
    double delayMinutes = 0;

    bool operator==(const AlertLimits&) const = default;
};

// The logger a download was of: its ZL ID and user location, and the channel.
struct AlertSource {
    QByteArray unit;
    QByteArray location;
    int channel = 1;
};

// What raises an alert after an automatic download: an excursion in the newly stored
// readings, an alarm start the logger recorded, the second failed download of a channel in a
// row, and no successful download for more than two intervals. An excursion still going when
// the download ends is followed into the next one: it is one alert however many downloads it
// spans, and its end is told once ("back inside since ..."). Every alert goes into the log
// first; one the log holds already is not raised again, and an excursion the log holds as
// still going is followed on, so that a program started again neither repeats nor drops one.
// The record of downloads carries the failures in a row and the last success across a
// restart; it is written after each download's outcome.
class AlertRules {
  public:
    // intervalSeconds: the schedule's interval.
    AlertRules(AlertLog& log, DownloadRecord& record, Clock& clock, const AlertLimits& limits,
               double intervalSeconds);

    // The readings a download of source stored. Returns the alerts newly raised.
    std::vector<Alert> downloadStored(const AlertSource& source, const ReadingsStore& readings);
    // A download of source that ended without storing its readings, and why.
    std::vector<Alert> downloadFailed(const AlertSource& source, const QByteArray& why);
    // The overdue alert when the last successful download (or the start, when none is on
    // record) lies more than two intervals back.
    std::vector<Alert> checkOverdue(const AlertSource& source);

  private:
    // An excursion that reached the end of the readings stored so far.
    struct OpenRun {
        BandSide side = BandSide::Above;
        double start = 0;
        double peak = 0;
        double hours = 0;
        std::optional<double> lastTime; // its last reading, unless restored from the log
        double interval = 0;
        QByteArray alertId; // empty until it lasted the delay
    };

    void restoreOpenRuns();
    void excursionAlerts(const AlertSource& source, const ReadingsStore& readings,
                         std::vector<Alert>& raised);
    void alarmAlerts(const AlertSource& source, const ReadingsStore& readings,
                     std::vector<Alert>& raised);
    // Ends the channel's open run at end; its alert, if it had one, is followed by "back
    // inside".
    void closeRun(const AlertSource& source, double end, std::vector<Alert>& raised);
    Alert excursionAlert(const AlertSource& source, const OpenRun& run,
                         std::optional<double> end) const;
    Alert newAlert(const AlertSource& source, const char* kind) const;
    void raise(Alert alert, std::vector<Alert>& raised);
    bool lastedTheDelay(double hours) const;
    void restoreLastSuccess();

    AlertLog& log_;
    DownloadRecord& record_;
    Clock& clock_;
    AlertLimits limits_;
    double intervalSeconds_;
    std::array<std::optional<OpenRun>, 2> open_;
    // When the last success was, on the steady clock and the wall clock.
    double lastSuccessSteady_;
    double lastSuccessWall_;
};

} // namespace zantrel
