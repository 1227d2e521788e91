// The user-information dialogs and the file dialogs of the main window.
#include "core/state.h"
#include "file_dialog_answer.h"
#include "files/user_info_dialogs.h"
#include "gui_window.h"
#include "ui/main_menu_view.h"
#include "ui/main_window.h"
#include "ui/user_info_dialog.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace zantrel;

namespace {

// The main window started in a fresh settings folder with the port "NA", and the two
// dialogs created after it, as at program start.
struct Program : GuiWindow {
    TForm4* form4 = new TForm4(form->engine(), form.get());
    TForm5* form5 = new TForm5(form->engine(), form.get());

    Program() { form->show(); }
    QByteArray userInfoFile() { return settingsFile("USERINFO.DAT"); }
};

QStringList Labels(const QDialog& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy()) texts << label->text();
    return texts;
}

} // namespace

class UserInfoDialogTest : public QObject {
    Q_OBJECT
  private slots:
    // The editor and the verification dialog: their captions, fields and buttons.
    void dialogsHaveTheirCaptionsFieldsAndButtons_data() {
        QTest::addColumn<bool>("verification");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("confirm");
        QTest::newRow("editor") << false << QString("User Information") << QString("OK");
        QTest::newRow("verification")
            << true << QString("Please Verify Information ") << QString("Continue");
    }
    void dialogsHaveTheirCaptionsFieldsAndButtons() {
        QFETCH(bool, verification);
        Program p;
        UserInfoDialog* dialog = verification ? static_cast<UserInfoDialog*>(p.form5)
                                              : static_cast<UserInfoDialog*>(p.form4);
        QTEST(dialog->windowTitle(), "caption");
        QCOMPARE(Labels(*dialog), QStringList({"User Name:", "User Location:", "Zantrel ID:"}));
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->findChild<QLabel*>("Hint")->text().contains("100 characters"));
        QTEST(dialog->button1()->text(), "confirm");
        QCOMPARE(dialog->button1()->font().bold(), verification);
        QCOMPARE(dialog->button2()->text(), QString("Cancel"));
    }

    void editUserInformationOpensTheEditorBesideTheWindow() {
        Program p;
        p.form->menus()->EditUserInformation->trigger();
        QVERIFY(p.form4->isVisible());
        QVERIFY(!p.form4->isModal());
        QVERIFY(!p.form5->isVisible());
        QVERIFY(p.state().Form4.Shown.visible());
        const QPoint offset = p.form4->frameGeometry().center() - p.form->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4, "centred on the main window");
        // The main window stays usable.
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Letters with accents go in as plain letters; a colon and a blank, which would start the
    // next value when the file is read, are refused as they are typed or pasted.
    void onlyPrintableAsciiGetsIn() {
        Program p;
        p.form->menus()->EditUserInformation->trigger();
        const QString hint = p.form4->findChild<QLabel*>("Hint")->text();
        QVERIFY2(hint.contains("plain") && hint.contains("colon followed by a blank"),
                 qPrintable(hint));
        QLineEdit* name = p.form4->userInfo();
        QTest::keyClicks(name, "Zo");
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString::fromUtf8("ë"),
                            Qt::NoModifier);
        QCOMPARE(name->text(), QString("Zoe"));
        QApplication::clipboard()->setText(QString::fromUtf8("\t\u00e4 Lab\n2\u00b0"));
        QTest::keySequence(name, QKeySequence::Paste);
        QCOMPARE(name->text(), QString("Zoea Lab2"));
        QCOMPARE(p.state().Form4.UserInfo.text(), QByteArray("Zoea Lab2"));

        QLineEdit* location = p.form4->userLocation();
        QTest::keyClicks(location, "Z");
        QTest::sendKeyEvent(QTest::Click, location, Qt::Key_unknown, QString::fromUtf8("ü"),
                            Qt::NoModifier);
        QTest::keyClicks(location, "rich Lab:");
        QTest::keyClick(location, Qt::Key_Space);
        QTest::keyClicks(location, "2");
        QCOMPARE(location->text(), QString("Zurich Lab:2"));
        QApplication::clipboard()->setText("Room: 4");
        QTest::keySequence(location, QKeySequence::Paste);
        QCOMPARE(location->text(), QString("Zurich Lab:2"));

        QLineEdit* id = p.form4->zlInfo();
        QTest::keyClicks(id, QString(kUserFieldMaxLength + 5, 'x'));
        QCOMPARE(id->text().size(), kUserFieldMaxLength);
        p.form4->button1()->click();
        QVERIFY(p.userInfoFile().contains("~User Location: Zurich Lab:2\r\n"));
    }

    void typingIsStoredByOkAndShownByTheOtherDialog() {
        Program p;
        p.form->menus()->EditUserInformation->trigger();
        QTest::keyClicks(p.form4->userInfo(), "A~B");
        QTest::keyClicks(p.form4->zlInfo(), "17");
        QCOMPARE(p.state().Form4.UserInfo.text(), QByteArray("A~B"));
        QCOMPARE(p.state().Form5.UserInfo.text(), QByteArray());
        p.form4->button1()->click();
        QVERIFY(!p.form4->isVisible());
        QCOMPARE(p.form4->userInfo()->text(), QString("AB"));
        QVERIFY(p.userInfoFile().startsWith("~User Name: AB\r\n~User Location: \r\n~ZL ID: 17"));
        p.form->menus()->SaveChart->trigger();
        QVERIFY(p.form5->isVisible());
        QCOMPARE(p.form5->userInfo()->text(), QString("AB"));
        QCOMPARE(p.form5->zlInfo()->text(), QString("17"));

        // "Continue" stores the information too and goes on to the chart save.
        QTest::keyClicks(p.form5->userInfo(), "C");
        bool saveDialogShown = false;
        ChooseInNextFileDialog([&](QFileDialog&) { saveDialogShown = true; }, {});
        p.form5->button1()->click();
        QVERIFY(saveDialogShown);
        QVERIFY(!p.form5->isVisible());
        QVERIFY(p.userInfoFile().startsWith("~User Name: ABC\r\n"));
    }

    void everyWayOfClosingWithoutOkStoresNothing() {
        Program p;
        const std::function<void()> closers[] = {
            [&] { p.form4->button2()->click(); },
            [&] { QTest::keyClick(p.form4, Qt::Key_Escape); },
            [&] { p.form4->close(); },
        };
        for (const auto& close : closers) {
            p.form->menus()->EditUserInformation->trigger();
            QVERIFY(p.form4->isVisible());
            QTest::keyClick(p.form4->userInfo(), Qt::Key_End);
            QTest::keyClicks(p.form4->userInfo(), "x");
            close();
            QVERIFY(!p.form4->isVisible());
            QVERIFY(!p.state().Form4.Shown.visible());
        }
        QVERIFY(p.state().UserInformationBox.isEmpty());
        QCOMPARE(p.userInfoFile(), QByteArray("<missing>"));
        // What was typed is still there the next time.
        p.form->menus()->EditUserInformation->trigger();
        QCOMPARE(p.form4->userInfo()->text(), QString("xxx"));
    }

    void fileDialogsOfferTheirTypes() {
        Program p;
        QStringList filters;
        QString suffix;
        ChooseInNextFileDialog(
            [&](QFileDialog& d) {
                filters = d.nameFilters();
                suffix = d.defaultSuffix();
                QVERIFY(d.acceptMode() == QFileDialog::AcceptSave);
            },
            {p.dir.filePath("readings")});
        const std::optional<QByteArray> chosen = p.form->saveFileDialog();
        QCOMPARE(filters,
                 QStringList({"Comma Delimited (.csv) (*.csv)", "Text file (.txt) (*.txt)"}));
        QCOMPARE(suffix, QString("csv"));
        QVERIFY(chosen);
        QCOMPARE(*chosen, QFile::encodeName(p.dir.filePath("readings.csv")));

        ChooseInNextFileDialog([](QFileDialog&) {}, {});
        QVERIFY(!p.form->saveFileDialog());

        // Opening offers encrypted files first.
        ChooseInNextFileDialog(
            [&](QFileDialog& d) {
                filters = d.nameFilters();
                QVERIFY(d.fileMode() == QFileDialog::ExistingFile);
            },
            {});
        QVERIFY(!p.form->openFileDialog());
        QCOMPARE(filters, QStringList({"Encrypted file (.zlx) (*.zlx)", "All Types (*)"}));
    }
};

QTEST_MAIN(UserInfoDialogTest)
#include "user_info_dialog_test.moc"
