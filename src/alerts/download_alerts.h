#pragma once

#include "alerts/alert_rules.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace zantrel {

class AlertLog;
class Clock;
class DownloadRecord;
struct ReadingsStore;
struct State;

// The alert rules applied to the automatic downloads of a session: the logger and the
// channel from the state, the readings just stored, and ALERTS.DAT and the record of
// downloads beside the monthly files of the path the schedule downloads into (Edit2).
class DownloadAlerts {
  public:
    DownloadAlerts(const State& state, const ReadingsStore& readings, Clock& clock);
    ~DownloadAlerts();

    // The band and delay of the downloads that follow.
    void setLimits(const AlertLimits& limits);

    // After each automatic download of a channel: whether its rows were stored. Returns the
    // alerts newly raised.
    std::vector<Alert> downloadEnded(int channel, bool stored);
    // The overdue alert, if one is due now.
    std::vector<Alert> checkOverdue();

    // The log beside the monthly files of the current path; none before one is chosen.
    AlertLog* log();
    // The record of downloads beside it; none before a path is chosen.
    const DownloadRecord* record();

  private:
    bool openLog();
    AlertSource source(int channel) const;

    const State& state_;
    const ReadingsStore& readings_;
    Clock& clock_;
    AlertLimits limits_;
    double intervalSeconds_ = 0;
    std::unique_ptr<AlertLog> log_;
    std::unique_ptr<DownloadRecord> record_;
    std::unique_ptr<AlertRules> rules_;
};

// The interval checked in the Auto Download menu, seconds; 0 when "Off".
double ScheduleIntervalSeconds(const State& state);

// ALERTS.DAT beside the monthly files named after base.
QByteArray AlertLogPath(const QByteArray& base);
// The record of downloads beside them.
QByteArray DownloadRecordPath(const QByteArray& base);

} // namespace zantrel
