#include "ui/tray_view.h"

#include "core/state.h"
#include "link/port_text.h"
#include "ui/application_icon.h"
#include "ui/binding_view.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace zantrel {

TrayView::TrayView(QWidget& window, State& state)
    : QObject(&window), window_(window), state_(state),
      icon_(new QSystemTrayIcon(ApplicationIcon(), this)), menu_(new QMenu(&window)) {
    menu_->setObjectName("PopupMenu1");
    open_ = menu_->addAction("Open");
    open_->setObjectName("SHORTCUT_OPEN");
    menu_->addSeparator();
    quit_ = menu_->addAction("Quit");
    quit_->setObjectName("SHORTCUT_QUIT");
    icon_->setContextMenu(menu_);
    connect(open_, &QAction::triggered, this, &TrayView::restoreFromTray);
    connect(quit_, &QAction::triggered, this, &TrayView::quitRequested);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { iconActivated(reason); });
}

void TrayView::hideToTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        window_.showMinimized();
        return;
    }
    AddTrayIcon("Zantrel charting application, " + PortName(state_.COMPORT.text()));
    window_.hide();
}

void TrayView::restoreFromTray() {
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
    if (state_.TrayIconShown.visible()) DeleteTrayIcon();
}

void TrayView::AddTrayIcon(const QByteArray& tip) {
    icon_->setToolTip(Latin1(tip.left(kTipLength)));
    icon_->show();
    state_.TrayIconShown.setVisible(true);
}

void TrayView::DeleteTrayIcon() {
    icon_->hide();
    state_.TrayIconShown.setVisible(false);
}

void TrayView::SetTrayTip(const QByteArray& text) {
    if (state_.TrayIconShown.visible()) icon_->setToolTip(Latin1(text.left(kTipLength)));
}

// A double click shows the window and leaves the icon; the pop-up menu is the icon's own.
void TrayView::iconActivated(int reason) {
    if (reason != QSystemTrayIcon::DoubleClick) return;
    if (window_.isHidden()) {
        window_.show();
    } else {
        window_.raise();
        window_.activateWindow();
    }
}

} // namespace zantrel
