#include "core/state.h"
#include "gui_window.h"
#include "ui/about_dialog.h"
#include "ui/application_icon.h"
#include "ui/main_menu_view.h"
#include "ui/port_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace zantrel;

namespace {

// The main window started in a fresh settings folder with the port "NA", and the port
// dialog created after it, as at program start.
struct Program : GuiWindow {
    TForm6* ports = new TForm6(form->engine(), form.get());
    QByteArray port() { return state().COMPORT.text(); }
};

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void aboutBoxIsModelessAndClosesOnOk() {
        TForm3 about;
        QCOMPARE(about.windowTitle(), QString("About Zantrel(tm)"));
        QCOMPARE(about.size(), QSize(221, 187));
        QVERIFY(ByText<QLabel>(&about, "Zantrel Software"));
        about.showCentred();
        QVERIFY(about.isVisible());
        QVERIFY(!about.isModal());
        about.findChild<QPushButton*>()->click();
        QVERIFY(!about.isVisible());
    }

    void aboutBoxShowsTheApplicationIcon() {
        const QIcon icon = ApplicationIcon();
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
        TForm3 about;
        const QLabel* shown = nullptr;
        for (const QLabel* label : about.findChildren<QLabel*>())
            if (!label->pixmap().isNull()) shown = label;
        QVERIFY(shown);
        QCOMPARE(shown->pixmap().toImage(), icon.pixmap(48, 48).toImage());
    }

    void portListOffersTheDevicesPresentFirst() {
        Program p;
        QListWidget* list = p.ports->portList();
        QVERIFY(list->count() >= 255);
        // First the devices of this machine, stored by their path and shown with what they are.
        const int devices = list->count() - 255;
        for (int i = 0; i < devices; ++i) {
            const QString path = list->item(i)->data(Qt::UserRole).toString();
            QVERIFY(path.startsWith('/'));
            QVERIFY(list->item(i)->text() == path ||
                    list->item(i)->text().startsWith(path + " - "));
        }
        for (int n = 1; n <= 255; ++n)
            QCOMPARE(list->item(devices + n - 1)->text(), QString("COM%1").arg(n));
        QCOMPARE(p.ports->findChild<QLabel*>("ComMeaning")->text(),
                 QString("COMn = /dev/ttyS(n-1): COM1 is /dev/ttyS0."));
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(p.ports->windowTitle(), QString("Select Port"));
        QCOMPARE(p.ports->currentPortLabel()->text(), QString("NA"));
    }

    void applyWithoutSelectionAsksForOneAndCancelChangesNothing() {
        Program p;
        p.ports->showCentred();
        p.ports->ApplyClick();
        QCOMPARE(p.boxes.seen, QStringList{"Problem|Please select a port from the list"});
        QVERIFY(p.ports->isVisible());

        p.ports->portList()->setCurrentItem(
            p.ports->portList()->findItems("COM5", Qt::MatchExactly)[0]);
        p.ports->findChild<QPushButton*>("Cancel")->click();
        QVERIFY(!p.ports->isVisible());
        QCOMPARE(p.port(), QByteArray("NA"));
        QCOMPARE(p.ports->currentPortLabel()->text(), QString("NA"));
        QCOMPARE(p.settingsFile("COMPORT.DAT"), QByteArray("NA"));
    }

    void applyStoresTheChosenPortAndCloses() {
        Program p;
        p.ports->showCentred();
        QListWidget* list = p.ports->portList();
        list->setCurrentItem(list->findItems("COM3", Qt::MatchExactly)[0]);
        const int row = list->currentRow();
        p.ports->findChild<QPushButton*>("Apply")->click();
        QCOMPARE(p.port(), QByteArray("COM3"));
        QCOMPARE(p.settingsFile("COMPORT.DAT"), QByteArray("COM3"));
        QCOMPARE(p.ports->currentPortLabel()->text(), QString("COM3"));
        QVERIFY(!p.ports->isVisible());
        // A port that cannot be opened is reported, and the choice is kept all the same.
        for (const QString& box : p.boxes.seen)
            QVERIFY(box.startsWith("Problem|"));

        // The dialog keeps its selection between showings.
        p.ports->showCentred();
        QCOMPARE(list->currentRow(), row);
    }

    void menusOpenTheDialogsWithoutBlocking() {
        Program p;
        TForm3* about = new TForm3(p.form.get());
        connect(p.form.get(), &TForm1::aboutRequested, about, &TForm3::showCentred);
        connect(p.form.get(), &TForm1::portRequested, p.ports, &TForm6::showCentred);
        p.form->show();
        p.form->menus()->About->trigger();
        p.form->menus()->Port->trigger();
        QVERIFY(about->isVisible() && !about->isModal());
        QVERIFY(p.ports->isVisible() && !p.ports->isModal());
        QVERIFY(p.boxes.seen.isEmpty());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
