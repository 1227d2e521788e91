#pragma once

#include "alerts/alert_command.h"
#include "alerts/download_alerts.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace zantrel {

struct CliContext;

// The alerts of zantrel-cli auto: one "ALERT: " line on standard error per alert raised after
// a download, each passed to the alert command when one was given. A command that fails or
// hangs is said and ends nothing.
class AutoAlerts {
  public:
    AutoAlerts(DownloadAlerts& alerts, const QByteArray& command, CliContext& context);

    // Says how many alerts ALERTS.DAT holds that nobody has acknowledged yet, and how many of
    // its lines do not read, if any.
    void reportWaiting();
    void downloadEnded(int channel, bool stored);
    void checkOverdue();

  private:
    void tell(const std::vector<Alert>& alerts);

    DownloadAlerts& alerts_;
    std::unique_ptr<AlertCommand> command_;
    CliContext& context_;
};

} // namespace zantrel
