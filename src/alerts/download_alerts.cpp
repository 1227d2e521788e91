#include "alerts/download_alerts.h"

#include "alerts/alert_log.h"
#include "alerts/download_record.h"
#include "chart/readings_store.h"
#include "core/state.h"

#include <QFileInfo>
#include <array>

namespace zantrel {

namespace {

constexpr const char* kNoNewReadings = "No new readings since the last download.";

} // namespace

DownloadAlerts::DownloadAlerts(const State& state, const ReadingsStore& readings, Clock& clock)
    : state_(state), readings_(readings), clock_(clock) {}

DownloadAlerts::~DownloadAlerts() = default;

void DownloadAlerts::setLimits(const AlertLimits& limits) {
    if (limits == limits_) return;
    limits_ = limits;
    rules_.reset();
}

QByteArray AlertLogPath(const QByteArray& base) {
    return QFileInfo(QString::fromLocal8Bit(base)).absolutePath().toLocal8Bit() + "/" + kAlertsFile;
}

QByteArray DownloadRecordPath(const QByteArray& base) {
    return QFileInfo(QString::fromLocal8Bit(base)).absolutePath().toLocal8Bit() + "/" +
           kDownloadRecordFile;
}

double ScheduleIntervalSeconds(const State& s) {
    constexpr double kHour = 3600;
    const std::array<std::pair<const Control*, double>, 6> intervals = {{
        {&s.Auto1hour, kHour},
        {&s.Auto4hours, 4 * kHour},
        {&s.Auto8hrs, 8 * kHour},
        {&s.Auto24hrs, 24 * kHour},
        {&s.Auto7day, 7 * 24 * kHour},
        {&s.Auto30day, 30 * 24 * kHour},
    }};
    for (const auto& [item, seconds] : intervals)
        if (item->checked()) return seconds;
    return 0;
}

// The log follows the path the schedule downloads into; the rules start afresh with a new
// log, an interval or limits changed, keeping what the log holds.
bool DownloadAlerts::openLog() {
    const QByteArray base = state_.Edit2.text();
    if (base.isEmpty() || base == "0") return false;
    const QByteArray path = AlertLogPath(base);
    if (!log_ || log_->path() != path) {
        log_ = std::make_unique<AlertLog>(path);
        record_ = std::make_unique<DownloadRecord>(DownloadRecordPath(base));
        rules_.reset();
    }
    const double interval = ScheduleIntervalSeconds(state_);
    if (interval != intervalSeconds_) rules_.reset();
    intervalSeconds_ = interval;
    if (!rules_)
        rules_ = std::make_unique<AlertRules>(*log_, *record_, clock_, limits_, intervalSeconds_);
    return true;
}

AlertLog* DownloadAlerts::log() {
    return openLog() ? log_.get() : nullptr;
}

const DownloadRecord* DownloadAlerts::record() {
    return openLog() ? record_.get() : nullptr;
}

AlertSource DownloadAlerts::source(int channel) const {
    return {state_.UnitId, state_.UserLocation, channel};
}

std::vector<Alert> DownloadAlerts::downloadEnded(int channel, bool stored) {
    if (!openLog()) return {};
    if (!stored) return rules_->downloadFailed(source(channel), state_.Edit1.text());
    // A download that found nothing new holds no readings of its own.
    if (state_.Edit1.text() == kNoNewReadings) return rules_->downloadStored(source(channel), {});
    return rules_->downloadStored(source(channel), readings_);
}

std::vector<Alert> DownloadAlerts::checkOverdue() {
    if (!openLog()) return {};
    return rules_->checkOverdue(source(0));
}

} // namespace zantrel
