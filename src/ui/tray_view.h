#pragma once

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace zantrel {

struct State;

// The program's icon in the notification area while the window is hidden: its tip, a double
// click that shows the window again, and the pop-up menu "Open" / "Quit". Where the desktop
// has no notification area, hiding minimises the window instead, so the program always stays
// within reach.
class TrayView : public QObject {
    Q_OBJECT
  public:
    // The longest tip shown; a longer one is cut.
    static constexpr int kTipLength = 127;

    TrayView(QWidget& window, State& state);

    // "Hide": the icon with the tip "Zantrel charting application, " and the port, and the
    // window hidden (or minimised).
    void hideToTray();
    // "Open": the window back, the icon removed.
    void restoreFromTray();
    // Replaces the tip while the icon is shown.
    void SetTrayTip(const QByteArray& text);

    QSystemTrayIcon* icon() const { return icon_; }
    QAction* openAction() const { return open_; }
    QAction* quitAction() const { return quit_; }

  signals:
    // "Quit" from the pop-up menu: the same as File, "Exit".
    void quitRequested();

  private:
    void AddTrayIcon(const QByteArray& tip);
    void DeleteTrayIcon();
    void iconActivated(int reason);

    QWidget& window_;
    State& state_;
    QSystemTrayIcon* icon_;
    QMenu* menu_;
    QAction* open_;
    QAction* quit_;
};

} // namespace zantrel
