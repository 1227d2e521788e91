// Start-up, the settings files and the reset to idle, observed through the engine's state.
#include "app_engine.h"
#include "chart/chart_model.h"
#include "chart/chart_printer.h"
#include "chart/chart_series.h"
#include "chart/readings_store.h"
#include "core/flag.h"
#include "core/settings_files.h"
#include "core/state.h"
#include "core/user_info.h"
#include "files/user_info_dialogs.h"
#include "link/serial_link.h"
#include "protocol/upload_session.h"

#include <QtTest>

using namespace zantrel;

namespace {

using Harness = AppEngine<>;

void expectNoDataPoint(const ChartSeries& series) {
    QCOMPARE(series.PointCount(), 1);
    QCOMPARE(series.label(0), QByteArray("No data"));
    QCOMPARE(series.colour(0), kGrey);
    QCOMPARE(series.y(0), 0.0);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void withoutSettingsFilesTheDefaultsHold() {
        Harness h;
        Engine& e = h.start();
        State& s = e.state();
        QCOMPARE(s.COMPORT.text(), QByteArray("COM1"));
        QCOMPARE(e.link().opensAttempted(), 1);
        QCOMPARE(s.DATEFORMAT.text(), QByteArray("mm/dd/yyyy hh:mm:ss"));
        QVERIFY(s.DateFormatItems[0].checked());
        QCOMPARE(e.chart().TimeLabelFormat, QByteArray("mm/dd/yyyy hh:mm:ss"));
        QVERIFY(s.UserName.isEmpty() && s.UserLocation.isEmpty() && s.UnitId.isEmpty() &&
                s.SoftwareVersion.isEmpty());
        QCOMPARE(s.Samplesperhour.text(), QByteArray("240"));
        QCOMPARE(s.BaseCaption, QByteArray("Zantrel(tm) - Version 5.2.1"));
        QVERIFY(!s.SecureData.visible() && !s.LockImage.visible());
        QVERIFY(s.FreshData.checked());
        QCOMPARE(s.Watchdog.value(), h.clock.now());
        expectNoDataPoint(e.chart().Series1);
        expectNoDataPoint(e.chart().Series2);
        QCOMPARE(e.chart().LeftAxis.minimum, 0.0);
        QCOMPARE(e.chart().LeftAxis.maximum, 100.0);
    }

    void aStoredPortIsOpenedOnce_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("COM1") << QByteArray("COM1") << QByteArray("COM1");
        QTest::newRow("other") << QByteArray("COM3:38400") << QByteArray("COM3:38400");
        QTest::newRow("line break") << QByteArray("COM2\n") << QByteArray("COM2\r\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("COM1");
    }
    void aStoredPortIsOpenedOnce() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, expected);
        Harness h;
        h.dir.put("COMPORT.DAT", stored);
        Engine& e = h.start();
        QCOMPARE(e.state().COMPORT.text(), expected);
        QCOMPARE(e.link().opensAttempted(), 1);
    }

    void dateFormatFileEndingInCrLfMatchesNoItem() {
        Harness h;
        h.dir.put("DATEFMT.DAT", "dd/mm/yyyy hh:mm:ss\r\n");
        Engine& e = h.start();
        QCOMPARE(e.state().DATEFORMAT.text(), QByteArray("dd/mm/yyyy hh:mm:ss\r\n"));
        // The designed check stays; the axis takes the text as it is.
        QVERIFY(e.state().DateFormatItems[0].checked());
        QVERIFY(!e.state().DateFormatItems[2].checked());
        QCOMPARE(e.chart().TimeLabelFormat, QByteArray("dd/mm/yyyy hh:mm:ss\r\n"));
    }

    void choosingADateFormatWritesTheFileExactly() {
        Harness h;
        Engine& e = h.start();
        e.DateFormatClick(6);
        QCOMPARE(h.dir.read("DATEFMT.DAT"), QByteArray("dd/mm/yyyy, hh:mm:ss"));
        QCOMPARE(e.chart().TimeLabelFormat, QByteArray("dd/mm/yyyy, hh:mm:ss"));

        // A restart reads the file back into the same single choice.
        Engine& again = h.start();
        QCOMPARE(again.state().DATEFORMAT.text(), QByteArray("dd/mm/yyyy, hh:mm:ss"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(again.state().DateFormatItems[i].checked(), i == 6);
        QCOMPARE(again.chart().TimeLabelFormat, QByteArray("dd/mm/yyyy, hh:mm:ss"));
    }

    void userInformationIsReadFreeOfLineBreaks() {
        Harness h;
        h.dir.put("USERINFO.DAT", "~User Name: Ann\r\n~User Location: Lab 2\r\n~ZL ID: 17\r\n"
                                  "~PC Software Version: Zantrel(tm) - Version 5.2.1\r\n");
        Engine& e = h.start();
        const State& s = e.state();
        QCOMPARE(QByteArrayList({s.UserName, s.UserLocation, s.UnitId, s.SoftwareVersion}),
                 QByteArrayList({"Ann", "Lab 2", "17", "Zantrel(tm) - Version 5.2.1"}));

        // Removing the file empties the values at the next reset.
        QFile::remove(h.dir.file("USERINFO.DAT"));
        e.ClearBuffer();
        QVERIFY(s.UserName.isEmpty() && s.SoftwareVersion.isEmpty());
    }

    void extractionEndsAValueAtALoneLineBreak() {
        const auto w = ExtractUserInformation("~User Name: A\n~User Location: B\r~ZL ID: C");
        QCOMPARE(QByteArrayList({w[0], w[1], w[2]}), QByteArrayList({"A", "B", "C"}));
        QCOMPARE(ExtractUserInformation("")[0], QByteArray());
    }

    void clearBufferReturnsAnUploadToIdle() {
        Harness h;
        Engine& e = h.start();
        State& s = e.state();
        // The middle of an upload.
        s.UploadData.setEnabled(false);
        s.AbortUpload.setEnabled(true);
        s.RadioButton1.setEnabled(false);
        s.RadioButton2.setEnabled(false);
        for (Flag* f : {&s.Startloadingdata, &s.WaitingForAck, &s.Readyfornextblock,
                        &s.Headerloaded, &s.FastBaud, &s.RHZL})
            f->tick();
        s.Memo2.setText("001\r\n");
        s.Memo5.setText("2B0190");
        s.Samplesperhour.setText("720");
        e.readings().Temperatures = {1, 2};
        e.readings().ReadingTimes = {1, 2};
        e.chart().Series1.AddPoint(1, 20, {}, kRed);
        const int64_t sleptBefore = h.clock.sleptMs();

        e.ClearBuffer();

        QVERIFY(s.UploadData.enabled());
        QVERIFY(!s.AbortUpload.enabled());
        QVERIFY(s.RadioButton1.enabled() && s.RadioButton2.enabled());
        for (const Flag* f : {&s.Startloadingdata, &s.WaitingForAck, &s.Readyfornextblock,
                              &s.Headerloaded, &s.FastBaud, &s.RHZL, &s.Errorindata,
                              &s.Startloadingheader, &s.WaitOnFastAck, &s.FileEncryptFlag})
            QVERIFY(!f->checked());
        QVERIFY(s.Memo1.isEmpty() && s.Memo2.isEmpty() && s.Memo3.isEmpty() && s.Memo5.isEmpty());
        QVERIFY(s.Edit1.isEmpty());
        QCOMPARE(s.Samplesperhour.text(), QByteArray("240"));
        QVERIFY(e.readings().Temperatures.empty() && e.readings().ReadingTimes.empty());
        expectNoDataPoint(e.chart().Series1);
        expectNoDataPoint(e.chart().Series2);
        // Two fixed waits of 500 ms, in the engine's own time.
        QCOMPARE(h.clock.sleptMs() - sleptBefore, 1000);
    }

    // The marker tells that a duplicate backs the chart's readings: it goes with them, and
    // so does the printout's "[Secure Data]".
    void theSecureDataMarkerGoesWithTheReadings_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("New/Clear") << "clear";
        QTest::newRow("upload") << "upload";
        QTest::newRow("aborted upload") << "abort";
    }
    void theSecureDataMarkerGoesWithTheReadings() {
        QFETCH(QString, action);
        Harness h;
        Engine& e = h.start("NA");
        State& s = e.state();
        s.SecureData.setVisible(true);
        s.LockImage.setVisible(true);
        if (action == "clear") {
            e.ClearBuffer();
        } else {
            e.session().UploadDataClick();
            if (action == "abort") e.session().AbortUploadClick();
        }
        QVERIFY(!s.SecureData.visible() && !s.LockImage.visible());
        QList<QByteArray> printed;
        h.host.printAccepted = true;
        h.host.onPrint = [&] { printed = e.chart().Foot; };
        e.printer().Button1Click();
        QVERIFY(printed.last().startsWith(QByteArray(87, ' ') + "Printed "));
    }

    // Each settings file that cannot be written says so, and which setting it held.
    void everySettingThatCannotBeSavedIsReported_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("what");
        QTest::newRow("port") << QByteArray("COMPORT.DAT") << QByteArray("the port setting");
        QTest::newRow("date format") << QByteArray("DATEFMT.DAT") << QByteArray("the date format");
        QTest::newRow("user information")
            << QByteArray("USERINFO.DAT") << QByteArray("the user information");
    }
    void everySettingThatCannotBeSavedIsReported() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, what);
        Harness h;
        Engine& e = h.start("NA");
        State& s = e.state();
        auto save = [&] {
            if (file == "COMPORT.DAT") e.link().SavePort("NA");
            if (file == "DATEFMT.DAT") e.DateFormatClick(2);
            if (file == "USERINFO.DAT") {
                e.userInfo().UserInformation1Click();
                e.userInfo().Button1Click(s.Form4);
            }
        };
        save();
        QVERIFY(h.host.messages.isEmpty());
        QVERIFY(h.dir.exists(file));

        const QByteArray gone = h.dir.path() + "/gone";
        s.ThisAppDir.setText(gone);
        save();
        QCOMPARE(h.host.messages.size(), 1);
        QCOMPARE(h.host.messages[0].title, QByteArray("Problem"));
        QCOMPARE(h.host.messages[0].text,
                 "Cannot save " + what + " in " + gone + "/" + file + ". Check folder rights.");
    }

    void clearBufferLeavesUploadDisabledWhenNoUploadRan() {
        // A port that could not be opened disabled "Upload Data"; a reset outside an
        // upload must not enable it.
        Harness h;
        Engine& e = h.start();
        e.state().UploadData.setEnabled(false);
        e.ClearBuffer();
        QVERIFY(!e.state().UploadData.enabled());
    }

    void loadingTheSameTextRunsNoHandler() {
        WorkDir dir;
        dir.put("X.DAT", "a\rb\nc\r\nd");
        TextSlot slot("a\r\nb\r\nc\r\nd");
        int runs = 0;
        slot.onChange = [&] { ++runs; };
        QVERIFY(LoadSlotFromFile(slot, dir.file("X.DAT").toLocal8Bit()));
        QCOMPARE(runs, 0);
        QVERIFY(SaveSlotToFile(slot, dir.file("Y.DAT").toLocal8Bit()));
        QCOMPARE(dir.read("Y.DAT"), QByteArray("a\r\nb\r\nc\r\nd"));
        QVERIFY(!LoadSlotFromFile(slot, dir.file("missing").toLocal8Bit()));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "startup_test.moc"
