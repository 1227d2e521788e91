// The user-information editor and the verification dialog, driven through the engine.
#include "app_engine.h"
#include "core/control.h"
#include "core/date_rendering.h"
#include "core/state.h"
#include "file_size_limit.h"
#include "files/user_info_dialogs.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr const char* kAnnInfo = "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                                 "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n";

// Also tells when the save dialog opens.
struct WatchingHost : FakeHost {
    std::optional<QByteArray> saveFileDialog() override {
        if (onSaveDialog) onSaveDialog();
        return FakeHost::saveFileDialog();
    }
    std::function<void()> onSaveDialog;
};

struct Harness : AppEngine<WatchingHost> {
    explicit Harness(const QByteArray& userInfoFile = {}) {
        if (!userInfoFile.isEmpty()) dir.put("USERINFO.DAT", userInfoFile);
        start("NA");
    }
    UserInfoDialogs& dialogs() { return engine->userInfo(); }
};

void Type(UserInfoFields& form, const QByteArray& name, const QByteArray& location,
          const QByteArray& id) {
    form.UserInfo.setText(name);
    form.UserLocation.setText(location);
    form.ZLInfo.setText(id);
}

QByteArrayList Fields(const UserInfoFields& form) {
    return {form.UserInfo.text(), form.UserLocation.text(), form.ZLInfo.text()};
}

// Downloads on a schedule chosen.
void ChooseInterval(State& s, Control& interval) {
    s.AutoOff.setChecked(false);
    interval.setChecked(true);
}

} // namespace

class UserInfoDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void bothDialogsFillFromTheStoredInformation_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::newRow("no file") << QByteArray() << QByteArrayList{"", "", ""};
        QTest::newRow("stored") << QByteArray(kAnnInfo) << QByteArrayList{"Ann", "Lab 2", "17"};
        // Each value is read from its own line: a colon inside one shifts none of the others.
        QTest::newRow("colon in location")
            << QByteArray("~User Name: Ann\r\n~User Location: Room: 4\r\n~ZL ID: 17\r\n")
            << QByteArrayList{"Ann", "Room: 4", "17"};
        QTest::newRow("colon in name")
            << QByteArray("~User Name: A:B\r\n~User Location: Lab\r\n~ZL ID: 17\r\n")
            << QByteArrayList{"A:B", "Lab", "17"};
    }
    void bothDialogsFillFromTheStoredInformation() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArrayList, fields);
        Harness h(file);
        h.dialogs().UserInformation1Click();
        QVERIFY(h.state().Form4.Shown.visible() && !h.state().Form5.Shown.visible());
        QCOMPARE(Fields(h.state().Form4), fields);
        h.dialogs().SavedataClick();
        QVERIFY(h.state().Form5.Shown.visible());
        QCOMPARE(Fields(h.state().Form5), fields);
    }

    void fieldsPersistBetweenShowingsUnlessRefilled() {
        Harness h;
        UserInfoFields& form = h.state().Form4;
        h.dialogs().UserInformation1Click();
        Type(form, "Bob", "Hall", "9");
        h.dialogs().Button2Click(form);
        QVERIFY(!form.Shown.visible());
        h.dialogs().UserInformation1Click();
        QCOMPARE(Fields(form), QByteArrayList({"Bob", "Hall", "9"}));
        // Choosing the item again while the dialog is open keeps what is being typed.
        h.state().UserInformationBox.setText(kAnnInfo);
        h.dialogs().UserInformation1Click();
        QCOMPARE(form.UserInfo.text(), QByteArray("Bob"));
        h.dialogs().Button2Click(form);
        h.dialogs().UserInformation1Click();
        QCOMPARE(Fields(form), QByteArrayList({"Ann", "Lab 2", "17"}));
    }

    // The duplicate's scrambling rotates within printable ASCII and its lines are limited, so
    // OK stores the fields cleaned and bounded: no field can forge a line of its own.
    void okStoresCleanFieldsWithTheBaseCaption() {
        QCOMPARE(CleanUserField("Zo\xeb\t\x7f\r\nA~ !}\xb0"), QByteArray("ZoeA !}"));
        // Letters with accents are written as their plain letters, not dropped.
        QCOMPARE(CleanUserField("Z\xfcrich Stra\xdf"
                                "e \xc6r\xf8 \xc7"
                                "a\xf1on"),
                 QByteArray("Zurich Strasse AEro Canon"));
        const QByteArray location(kUserFieldMaxLength, 'x');
        Harness h;
        State& s = h.state();
        s.Caption.setText("Zantrel(tm) - Version 5.2.1 | Channel 1");
        h.dialogs().UserInformation1Click();
        Type(s.Form4, "A~B\r\n~ZL ID: forged", location + "yyy", "~17\x80~");
        h.dialogs().Button1Click(s.Form4);
        const QByteArray expected = "~User Name: ABZL ID: forged\r\n~User Location: " + location +
                                    "\r\n~ZL ID: 17\r\n"
                                    "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n";
        QCOMPARE(s.UserInformationBox.text(), expected);
        QCOMPARE(h.dir.read("USERINFO.DAT"), expected);
        QCOMPARE(Fields(s.Form4), QByteArrayList({"ABZL ID: forged", location, "17"}));
        QVERIFY(!s.Form4.Shown.visible());
        // The session values wait for the next reset; the editor saves nothing else.
        QVERIFY(s.UserName.isEmpty());
        QCOMPARE(h.host.saveDialogs, 0);
        QVERIFY(h.host.messages.isEmpty());
    }

    // A location stored with ": " inside it keeps the identification at the next save.
    void aColonInAStoredValueLosesNothing() {
        Harness h("~User Name: Ann\r\n~User Location: Lab: 2\r\n~ZL ID: 17\r\n"
                  "~PC Software Version: V\r\n");
        State& s = h.state();
        QCOMPARE(QByteArrayList({s.UserName, s.UserLocation, s.UnitId, s.SoftwareVersion}),
                 QByteArrayList({"Ann", "Lab: 2", "17", "V"}));
        h.dialogs().UserInformation1Click();
        h.dialogs().Button1Click(s.Form4);
        h.engine->ClearBuffer();
        QCOMPARE(QByteArrayList({s.UserName, s.UserLocation, s.UnitId}),
                 QByteArrayList({"Ann", "Lab: 2", "17"}));
    }

    void cancelStoresNothingAndSavesNothing() {
        Harness h(kAnnInfo);
        State& s = h.state();
        ChooseInterval(s, s.Auto1hour);
        h.dialogs().UserInformation1Click();
        h.dialogs().SavedataClick();
        for (UserInfoFields* form : {&s.Form4, &s.Form5}) {
            Type(*form, "Eve", "Elsewhere", "99");
            h.dialogs().Button2Click(*form);
            QVERIFY(!form->Shown.visible());
        }
        QCOMPARE(s.UserInformationBox.text(), QByteArray(kAnnInfo));
        QCOMPARE(h.dir.read("USERINFO.DAT"), QByteArray(kAnnInfo));
        QCOMPARE(h.host.saveDialogs, 0);
        QVERIFY(s.Auto1hour.checked() && !s.AutoOff.checked());
    }

    void continueWithDownloadsOffSavesTheChart() {
        Harness h;
        State& s = h.state();
        const QByteArray clockText = s.AutoClock.text();
        h.dialogs().SavedataClick();
        Type(s.Form5, "Ann", "Lab 2", "17");
        QByteArray storedAtSave;
        h.host.onSaveDialog = [&] { storedAtSave = h.dir.read("USERINFO.DAT"); };
        h.dialogs().Button1Click(s.Form5);
        QCOMPARE(h.host.saveDialogs, 1);
        QVERIFY(storedAtSave.startsWith("~User Name: Ann\r\n~User Location: Lab 2\r\n"));
        QVERIFY(!s.Form5.Shown.visible());
        QVERIFY(s.AutoOff.checked() && !s.AutoClockBox.visible());
        QCOMPARE(s.AutoClock.text(), clockText);
    }

    void continueWithAnIntervalChoosesTheAutoFile() {
        Harness h;
        State& s = h.state();
        ChooseInterval(s, s.Auto4hours);
        h.clock.advanceMs(90 * 60 * 1000);
        h.host.savePath = h.dir.path() + "/monthly.csv";
        h.dialogs().verifyForAutoDownload();
        h.dialogs().Button1Click(s.Form5);
        QCOMPARE(h.host.saveDialogs, 1);
        QCOMPARE(s.Edit2.text(), *h.host.savePath);
        QCOMPARE(s.AutoClockTime.load(), h.clock.steadySeconds());
        QCOMPARE(s.AutoClock.text(), FormatDateTime(s.DATEFORMAT.text(), h.clock.now()));
        QVERIFY(s.TextForNextAuto.visible() && s.AutoClockBox.visible());
        QVERIFY(s.Auto4hours.checked() && !s.AutoOff.checked());
        QVERIFY(!s.Form5.Shown.visible());
        QVERIFY(!h.dir.exists("monthly.csv"));
    }

    void cancellingTheAutoFileTurnsDownloadsOff() {
        Harness h;
        State& s = h.state();
        ChooseInterval(s, s.Auto24hrs);
        s.Edit2.setText("/old/base.csv");
        s.TextForNextAuto.setVisible(true);
        s.AutoClockBox.setVisible(true);
        s.InitAutoload.tick();
        h.dialogs().verifyForAutoDownload();
        h.dialogs().Button1Click(s.Form5);
        QCOMPARE(h.host.saveDialogs, 1);
        QVERIFY(s.AutoOff.checked() && !s.Auto24hrs.checked());
        QVERIFY(s.Edit2.isEmpty() && !s.InitAutoload.checked());
        QVERIFY(!s.TextForNextAuto.visible() && !s.AutoClockBox.visible());
        QVERIFY(!s.Form5.Shown.visible());
    }

    void aFailedWriteIsReported() {
        Harness h;
        State& s = h.state();
        // A folder in the file's place cannot be replaced by the file.
        QVERIFY(QDir(QString::fromLocal8Bit(h.dir.path())).mkdir("USERINFO.DAT"));
        Type(s.Form4, "Ann", "Lab 2", "17");
        h.dialogs().Button1Click(s.Form4);
        QCOMPARE(h.host.messages.size(), 1);
        QCOMPARE(h.host.messages[0].title, QByteArray("Problem"));
        QVERIFY(h.host.messages[0].text.startsWith("Cannot save the user information"));
        QVERIFY(h.host.messages[0].text.contains("USERINFO.DAT"));
        // What was confirmed still holds for this session.
        QVERIFY(s.UserInformationBox.text().startsWith("~User Name: Ann\r\n"));
    }

    // A full disk: the earlier file stays whole and the failure is reported.
    void aWriteCutShortIsReported() {
        Harness h;
        State& s = h.state();
        h.dir.put("USERINFO.DAT", "earlier");
        Type(s.Form4, "Ann", "Lab 2", "17");
        {
            FileSizeLimit full(20);
            h.dialogs().Button1Click(s.Form4);
        }
        QCOMPARE(h.host.messages.size(), 1);
        QVERIFY(h.host.messages[0].text.startsWith("Cannot save the user information"));
        QCOMPARE(h.dir.read("USERINFO.DAT"), QByteArray("earlier"));
    }
};

QTEST_GUILESS_MAIN(UserInfoDialogsTest)
#include "user_info_dialogs_test.moc"
