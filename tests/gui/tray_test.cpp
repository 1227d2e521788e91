// "Hide", the notification-area icon and its pop-up menu, and the Auto Download menu, on the
// offscreen platform.
#include "core/state.h"
#include "gui_window.h"
#include "ui/tray_view.h"

#include <QAction>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QtTest>

using namespace zantrel;

class TrayTest : public QObject {
    Q_OBJECT
  private slots:
    // The program never becomes unreachable: without a notification area "Hide" minimises.
    void hideHidesOrMinimises() {
        GuiWindow w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.find<QPushButton>("BUTTON_HIDE")->click();
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QVERIFY(w.form->isHidden());
            QVERIFY(w.state().TrayIconShown.visible());
            QCOMPARE(w.form->tray().icon()->toolTip(), QString("Zantrel charting application, NA"));
        } else {
            QVERIFY(w.form->isVisible());
            QVERIFY(w.form->windowState() & Qt::WindowMinimized);
            QVERIFY(!w.state().TrayIconShown.visible());
        }
    }

    void tipIsCutAndOnlyShownWithTheIcon() {
        GuiWindow w;
        TrayView& tray = w.form->tray();
        w.form->setTrayTip("AUTOLOAD IN PROGRESS...");
        QVERIFY(tray.icon()->toolTip().isEmpty());
        w.state().TrayIconShown.setVisible(true);
        w.form->setTrayTip(QByteArray(200, 'x'));
        QCOMPARE(tray.icon()->toolTip(), QString(TrayView::kTipLength, 'x'));
    }

    // "Open" brings the window back and removes the icon; "Quit" ends the program.
    void popupMenu() {
        GuiWindow w;
        TrayView& tray = w.form->tray();
        w.state().TrayIconShown.setVisible(true);
        w.form->hide();
        tray.openAction()->trigger();
        QVERIFY(w.form->isVisible());
        QVERIFY(!w.state().TrayIconShown.visible());
        QVERIFY(!tray.icon()->isVisible());
        QSignalSpy closed(w.form.get(), &TForm1::closed);
        tray.quitAction()->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!w.form->isVisible());
    }

    // The six intervals can be chosen, and are greyed out while no channel is checked.
    void autoDownloadMenu() {
        GuiWindow w;
        const auto item = [&w](const char* name) { return w.find<QAction>(name); };
        for (const char* name :
             {"Auto1hour", "Auto4hours", "Auto8hrs", "Auto24hrs", "Auto7day", "Auto30day"})
            QVERIFY(item(name)->isEnabled());
        item("C1")->trigger();
        item("C2")->trigger();
        QVERIFY(!item("C1")->isChecked());
        QVERIFY(item("AutoOff")->isChecked());
        QVERIFY(!item("Auto4hours")->isEnabled());
        item("C2")->trigger();
        QVERIFY(item("Auto4hours")->isEnabled());
        QVERIFY(item("AutoOff")->isChecked());
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
