#pragma once

#include "alerts/download_alerts.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <vector>

class QWidget;

namespace zantrel {

class AlertsDialog;
class Engine;
class TrayView;

// The window's alerts: after each automatic download the rules run on what it stored, with
// the statistics' band; each alert raised is a notification from the tray icon (shown for it
// when the window is in view) and, once the download is over, the status line. A timer looks
// for an overdue download between downloads.
class WindowAlerts : public QObject {
    Q_OBJECT
  public:
    // How long a notification stays, milliseconds.
    static constexpr int kMessageMs = 15000;

    WindowAlerts(Engine& engine, TrayView& tray, QWidget& window);

    // Chart, "Alerts...": a new dialog over the window.
    AlertsDialog* showAlerts();
    DownloadAlerts& alerts() { return alerts_; }

  signals:
    // Alerts were raised and told.
    void raised(int count);

  private:
    void downloadEnded(int channel, bool stored);
    void tell(const std::vector<Alert>& alerts);
    void showStatusWhenIdle();

    Engine& engine_;
    TrayView& tray_;
    QWidget& window_;
    DownloadAlerts alerts_;
    QByteArray pendingStatus_;
    QTimer statusTimer_;
    QTimer overdueTimer_;
};

} // namespace zantrel
