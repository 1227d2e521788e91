#include "cli/auto_alerts.h"

#include "alerts/alert_log.h"
#include "alerts/download_record.h"
#include "cli/cli.h"

#include <algorithm>

namespace zantrel {

AutoAlerts::AutoAlerts(DownloadAlerts& alerts, const QByteArray& command, CliContext& context)
    : alerts_(alerts), context_(context) {
    if (!command.isEmpty()) command_ = std::make_unique<AlertCommand>(command, context.clock);
}

void AutoAlerts::reportWaiting() {
    const AlertLog* log = alerts_.log();
    if (!log) return;
    if (log->unreadableLines() > 0)
        context_.err << log->path().constData() << ": " << log->unreadableLines()
                     << " lines do not read as alerts; they are skipped and left in the file."
                     << std::endl;
    if (const DownloadRecord* record = alerts_.record(); record && !record->problem().isEmpty())
        context_.err << record->problem().constData() << std::endl;
    const auto waiting = std::count_if(log->alerts().begin(), log->alerts().end(),
                                       [](const LoggedAlert& a) { return !a.acknowledged; });
    if (waiting > 0)
        context_.err << "Alerts not acknowledged: " << waiting << " (" << log->path().constData()
                     << ")." << std::endl;
}

void AutoAlerts::downloadEnded(int channel, bool stored) {
    tell(alerts_.downloadEnded(channel, stored));
    if (const DownloadRecord* record = alerts_.record(); record && !record->failure().isEmpty())
        context_.err << "DOWNLOAD RECORD NOT KEPT: " << record->failure().constData() << std::endl;
}

void AutoAlerts::checkOverdue() {
    tell(alerts_.checkOverdue());
}

void AutoAlerts::tell(const std::vector<Alert>& alerts) {
    if (alerts.empty()) return;
    if (const AlertLog* log = alerts_.log(); log && !log->failure().isEmpty())
        context_.err << "ALERT NOT KEPT: " << log->failure().constData() << std::endl;
    for (const Alert& alert : alerts) {
        context_.err << "ALERT: " << alert.text.constData() << std::endl;
        if (!command_) continue;
        if (const QByteArray failure = command_->run(alert); !failure.isEmpty())
            context_.err << "ALERT COMMAND FAILED: " << failure.constData() << "." << std::endl;
    }
}

} // namespace zantrel
