#include "ui/window_alerts.h"

#include "alerts/alert_log.h"
#include "alerts/download_record.h"
#include "chart/stored_statistics_settings.h"
#include "core/state.h"
#include "engine/engine.h"
#include "schedule/auto_download.h"
#include "ui/alerts_dialog.h"
#include "ui/tray_view.h"

#include <QSystemTrayIcon>

namespace zantrel {

namespace {

constexpr int kStatusCheckMs = 500;
constexpr int kOverdueCheckMs = 60000;

} // namespace

WindowAlerts::WindowAlerts(Engine& engine, TrayView& tray, QWidget& window)
    : QObject(&window), engine_(engine), tray_(tray), window_(window),
      alerts_(engine.state(), engine.readings(), engine.clock()) {
    engine_.autoDownload().downloadStored = [this](int channel, bool stored) {
        downloadEnded(channel, stored);
    };
    statusTimer_.setInterval(kStatusCheckMs);
    connect(&statusTimer_, &QTimer::timeout, this, &WindowAlerts::showStatusWhenIdle);
    overdueTimer_.setInterval(kOverdueCheckMs);
    connect(&overdueTimer_, &QTimer::timeout, this, [this] {
        if (!engine_.state().AutoOff.checked()) tell(alerts_.checkOverdue());
    });
    overdueTimer_.start();
}

void WindowAlerts::downloadEnded(int channel, bool stored) {
    const StatisticsOptions& band = engine_.statisticsSettings().options();
    alerts_.setLimits({band.low, band.high, band.delayMinutes});
    tell(alerts_.downloadEnded(channel, stored));
    // A record of downloads that could not be written is said once the download is over,
    // after any alert; the schedule goes on.
    if (const DownloadRecord* record = alerts_.record(); record && !record->failure().isEmpty()) {
        pendingStatus_ += (pendingStatus_.isEmpty() ? "" : " ") + record->failure();
        statusTimer_.start();
        QTimer::singleShot(0, this, &WindowAlerts::showStatusWhenIdle);
    }
}

void WindowAlerts::tell(const std::vector<Alert>& alerts) {
    if (alerts.empty()) return;
    const QByteArray& last = alerts.back().text;
    QString message = QString::fromLatin1(last);
    if (alerts.size() > 1)
        message = QString("%1 alerts; the last: %2").arg(alerts.size()).arg(message);
    // Told all the same, but a restart would not know of it: say so.
    QByteArray notKept;
    if (const AlertLog* log = alerts_.log(); log && !log->failure().isEmpty()) {
        notKept = " ALERT NOT KEPT: " + log->failure();
        message += "\nNot kept: " + QString::fromLocal8Bit(log->failure());
    }
    // The icon carries the notification even while the window is in view, and goes again
    // with it unless the window has been hidden meanwhile.
    QSystemTrayIcon* icon = tray_.icon();
    if (!icon->isVisible()) {
        icon->show();
        QTimer::singleShot(kMessageMs, this, [this] {
            if (!engine_.state().TrayIconShown.visible()) tray_.icon()->hide();
        });
    }
    icon->showMessage("Zantrel alert", message, QSystemTrayIcon::Warning, kMessageMs);
    pendingStatus_ = "ALERT: " + last;
    if (alerts.size() > 1)
        pendingStatus_ += " (" + QByteArray::number(alerts.size()) + " alerts: Chart, Alerts...)";
    pendingStatus_ += notKept;

    statusTimer_.start();
    QTimer::singleShot(0, this, &WindowAlerts::showStatusWhenIdle);
    emit raised(static_cast<int>(alerts.size()));
}

// The status line takes the alert once no download runs, so that no download's own texts
// (which the schedule reads back) are replaced while it goes on.
void WindowAlerts::showStatusWhenIdle() {
    State& s = engine_.state();
    if (s.AbortUpload.enabled() || s.InitAutoload.checked()) return;
    statusTimer_.stop();
    if (!pendingStatus_.isEmpty()) s.Edit1.setText(pendingStatus_);
    pendingStatus_.clear();
}

AlertsDialog* WindowAlerts::showAlerts() {
    auto* dialog = new AlertsDialog(alerts_.log(), alerts_.record(), engine_.clock(), &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

} // namespace zantrel
