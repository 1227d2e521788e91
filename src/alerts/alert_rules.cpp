#include "alerts/alert_rules.h"

#include "alerts/alert_log.h"
#include "alerts/download_record.h"
#include "chart/readings_store.h"
#include "chart/storage_interval.h"
#include "core/calendar.h"
#include "core/clock.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <tuple>

namespace zantrel {

namespace {

// A stored 32-bit reading as the decimal it was shown as, not its double expansion.
double ShortestValue(float value) {
    char digits[32];
    *std::to_chars(digits, digits + sizeof digits - 1, value).ptr = '\0';
    return std::strtod(digits, nullptr);
}

QByteArray Number(double value) {
    return QByteArray::number(value, 'g', 10);
}

QByteArray Hours(double hours) {
    return QByteArray::number(hours, 'f', 2) + " h";
}

QByteArray TextTime(double t) {
    return AlertTime(t).replace('T', ' ').toLatin1();
}

QByteArray Subject(const AlertSource& source, bool withChannel = true) {
    QByteArray s = withChannel ? "channel " + QByteArray::number(source.channel) + " of " : "";
    s += "logger " + (source.unit.isEmpty() ? QByteArray("(no ID)") : source.unit);
    if (!source.location.isEmpty()) s += " (" + source.location + ")";
    return s;
}

QByteArray Capitalised(QByteArray text) {
    if (!text.isEmpty()) text[0] = static_cast<char>(std::toupper(text[0]));
    return text;
}

QByteArray SideText(BandSide side, const AlertLimits& limits) {
    return side == BandSide::Above ? "above " + Number(limits.high.value_or(0)) + " C"
                                   : "below " + Number(limits.low.value_or(0)) + " C";
}

QByteArray ChannelKey(const AlertSource& source) {
    return source.unit + "/" + QByteArray::number(source.channel);
}

} // namespace

AlertRules::AlertRules(AlertLog& log, DownloadRecord& record, Clock& clock,
                       const AlertLimits& limits, double intervalSeconds)
    : log_(log), record_(record), clock_(clock), limits_(limits), intervalSeconds_(intervalSeconds),
      lastSuccessSteady_(clock.steadySeconds()), lastSuccessWall_(clock.now()) {
    restoreOpenRuns();
    restoreLastSuccess();
}

// A success on record before the start lies as far back on the steady clock as the wall
// clock says; one the wall clock puts in the future (a clock set back) counts as now.
void AlertRules::restoreLastSuccess() {
    if (!record_.lastSuccess) return;
    constexpr double kSecondsPerDay = 86400;
    const double ago = std::max(0.0, (clock_.now() - *record_.lastSuccess) * kSecondsPerDay);
    lastSuccessSteady_ -= ago;
    lastSuccessWall_ = *record_.lastSuccess;
}

// An excursion the log holds without its "back inside" was still going when the last
// download ended: the next download carries it on.
void AlertRules::restoreOpenRuns() {
    for (const LoggedAlert& logged : log_.alerts()) {
        const Alert& a = logged.alert;
        if (a.kind != kExcursionAlert || a.end || a.channel < 1 || a.channel > 2) continue;
        if (log_.contains(a.id + "/" + kBackInsideAlert)) continue;
        OpenRun run;
        run.side = a.high && a.peak && *a.peak > *a.high ? BandSide::Above : BandSide::Below;
        run.start = a.start;
        run.peak = a.peak.value_or(0);
        run.hours = a.hours;
        run.alertId = a.id;
        open_[a.channel - 1] = run;
    }
}

bool AlertRules::lastedTheDelay(double hours) const {
    return hours * 60 + 1e-9 >= limits_.delayMinutes;
}

Alert AlertRules::newAlert(const AlertSource& source, const char* kind) const {
    Alert a;
    a.kind = kind;
    a.unit = source.unit;
    a.location = source.location;
    a.channel = source.channel;
    a.low = limits_.low;
    a.high = limits_.high;
    a.raised = clock_.now();
    return a;
}

void AlertRules::raise(Alert alert, std::vector<Alert>& raised) {
    if (log_.contains(alert.id)) return;
    log_.append(alert);
    raised.push_back(std::move(alert));
}

Alert AlertRules::excursionAlert(const AlertSource& source, const OpenRun& run,
                                 std::optional<double> end) const {
    Alert a = newAlert(source, kExcursionAlert);
    a.id = QByteArray(kExcursionAlert) + "/" + ChannelKey(source) + "/" + TextTime(run.start);
    a.start = run.start;
    a.end = end;
    a.peak = run.peak;
    a.hours = run.hours;
    a.text = Capitalised(Subject(source)) + " " + SideText(run.side, limits_) +
             (end ? " from " + TextTime(run.start) + " to " + TextTime(*end)
                  : " since " + TextTime(run.start)) +
             ", peak " + Number(run.peak) + " C, " + Hours(run.hours) + " outside.";
    return a;
}

void AlertRules::closeRun(const AlertSource& source, double end, std::vector<Alert>& raised) {
    std::optional<OpenRun>& run = open_[source.channel - 1];
    if (run && !run->alertId.isEmpty()) {
        Alert a = newAlert(source, kBackInsideAlert);
        a.id = run->alertId + "/" + kBackInsideAlert;
        a.start = run->start;
        a.end = end;
        a.peak = run->peak;
        a.hours = run->hours;
        a.text = Capitalised(Subject(source)) + " back inside since " + TextTime(end) + " after " +
                 Hours(run->hours) + " " + SideText(run->side, limits_) + ", peak " +
                 Number(run->peak) + " C.";
        raise(std::move(a), raised);
    }
    run.reset();
}

void AlertRules::excursionAlerts(const AlertSource& source, const ReadingsStore& readings,
                                 std::vector<Alert>& raised) {
    const std::vector<double>& times = readings.ReadingTimes;
    const std::size_t count = std::min(times.size(), readings.Temperatures.size());
    if (count == 0) return;
    StatisticsOptions band;
    band.low = limits_.low;
    band.high = limits_.high;
    const Excursions found = FindExcursions(readings, TimeRange{}, band);
    const double interval = StorageInterval(times);
    const float last = readings.Temperatures[count - 1];
    const StoredBand stored(band);
    std::optional<BandSide> lastSide;
    if (!IsGapValue(last) && stored.below(last)) lastSide = BandSide::Below;
    if (!IsGapValue(last) && stored.above(last)) lastSide = BandSide::Above;

    std::optional<OpenRun>& open = open_[source.channel - 1];
    if (open) {
        // The run still going at the last download goes on only when this download starts
        // outside on the same side, with no hole between them.
        const bool hole = open->lastTime && IsHole(times[0] - *open->lastTime, open->interval);
        const bool continues = !hole && !found.periods.empty() &&
                               found.periods[0].side == open->side &&
                               found.periods[0].start == times[0];
        if (!continues)
            closeRun(source, hole ? *open->lastTime + open->interval : times[0], raised);
    }
    for (std::size_t i = 0; i < found.periods.size(); ++i) {
        const ExcursionPeriod& period = found.periods[i];
        OpenRun run{period.side,
                    period.start,
                    ShortestValue(static_cast<float>(period.peak.value)),
                    period.hours,
                    std::nullopt,
                    interval,
                    {}};
        if (i == 0 && open) {
            run.start = open->start;
            run.hours += open->hours;
            run.alertId = open->alertId;
            const bool further =
                period.side == BandSide::Above ? open->peak > run.peak : open->peak < run.peak;
            if (further) run.peak = open->peak;
            open.reset();
        }
        const bool stillGoing = i + 1 == found.periods.size() && lastSide == period.side;
        if (stillGoing) {
            run.lastTime = times[count - 1];
            if (run.alertId.isEmpty() && lastedTheDelay(run.hours)) {
                Alert a = excursionAlert(source, run, std::nullopt);
                run.alertId = a.id;
                raise(std::move(a), raised);
            }
            open = run;
        } else if (!run.alertId.isEmpty()) {
            open = run;
            closeRun(source, period.end, raised);
        } else if (lastedTheDelay(run.hours)) {
            raise(excursionAlert(source, run, period.end), raised);
        }
    }
}

void AlertRules::alarmAlerts(const AlertSource& source, const ReadingsStore& readings,
                             std::vector<Alert>& raised) {
    const double from = readings.ReadingTimes.empty() ? 0 : readings.ReadingTimes.front();
    for (const auto& [event, kind, name] :
         {std::tuple{TempAlarmStart, kTemperatureAlarmAlert, "Temperature alarm"},
          std::tuple{RhAlarmStart, kHumidityAlarmAlert, "Humidity alarm"}}) {
        for (const double t : readings.Events[event]) {
            if (t < from) continue;
            Alert a = newAlert(source, kind);
            a.id = QByteArray(kind) + "/" + ChannelKey(source) + "/" + TextTime(t);
            a.start = t;
            a.text = QByteArray(name) + " on " + Subject(source) + " at " + TextTime(t) + ".";
            raise(std::move(a), raised);
        }
    }
}

std::vector<Alert> AlertRules::downloadStored(const AlertSource& source,
                                              const ReadingsStore& readings) {
    std::vector<Alert> raised;
    const int c = source.channel - 1;
    if (c < 0 || c > 1) return raised;
    record_.failed[c] = {};
    lastSuccessSteady_ = clock_.steadySeconds();
    lastSuccessWall_ = clock_.now();
    record_.lastSuccess = lastSuccessWall_;
    record_.save();
    excursionAlerts(source, readings, raised);
    alarmAlerts(source, readings, raised);
    return raised;
}

std::vector<Alert> AlertRules::downloadFailed(const AlertSource& source, const QByteArray& why) {
    std::vector<Alert> raised;
    const int c = source.channel - 1;
    if (c < 0 || c > 1) return raised;
    FailedRun& run = record_.failed[c];
    // Two in a row is all that counts.
    run.inARow = std::min(run.inARow + 1, 2);
    if (run.inARow == 1) run.first = clock_.now();
    record_.save();
    if (run.inARow == 2) {
        Alert a = newAlert(source, kDownloadFailedAlert);
        a.id =
            QByteArray(kDownloadFailedAlert) + "/" + ChannelKey(source) + "/" + TextTime(run.first);
        a.start = run.first;
        a.end = clock_.now();
        a.text = "Download of " + Subject(source) + " failed twice in a row: " + why;
        raise(std::move(a), raised);
    }
    const std::vector<Alert> overdue = checkOverdue(source);
    raised.insert(raised.end(), overdue.begin(), overdue.end());
    return raised;
}

std::vector<Alert> AlertRules::checkOverdue(const AlertSource& source) {
    std::vector<Alert> raised;
    if (intervalSeconds_ <= 0 ||
        clock_.steadySeconds() - lastSuccessSteady_ <= 2 * intervalSeconds_)
        return raised;
    Alert a = newAlert(source, kOverdueAlert);
    a.channel = 0;
    a.id = QByteArray(kOverdueAlert) + "/" + source.unit + "/" + TextTime(lastSuccessWall_);
    a.start = lastSuccessWall_;
    a.hours = (clock_.steadySeconds() - lastSuccessSteady_) / 3600;
    a.text = "No successful download from " + Subject(source, false) + " since " +
             TextTime(lastSuccessWall_) + " (more than two intervals).";
    raise(std::move(a), raised);
    return raised;
}

} // namespace zantrel
