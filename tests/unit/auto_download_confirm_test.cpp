// The user-information confirmation before automatic downloads, and "Save Chart" while they
// are chosen: a cancelled confirmation leaves no half-chosen schedule, and "Save Chart" always
// saves the chart.
#include "app_engine.h"
#include "core/control.h"
#include "core/state.h"
#include "files/user_info_dialogs.h"
#include "schedule/schedule_menu.h"

#include <QDir>
#include <QtTest>

using namespace zantrel;

namespace {

struct Harness : AppEngine<> {
    Harness() { start("NA"); }
    UserInfoDialogs& dialogs() { return engine->userInfo(); }
    ScheduleMenu& menu() { return engine->scheduleMenu(); }
    QStringList monthlyFiles() const {
        return QDir(QString::fromLocal8Bit(dir.path())).entryList({"T1*", "T2*"}, QDir::Files);
    }
    void saveChart(const QString& name) {
        host.savePath = dir.file(name).toLocal8Bit();
        dialogs().SavedataClick();
        dialogs().Button1Click(state().Form5);
    }
};

void VerifyOff(const State& s, const ScheduleMenu& menu) {
    QVERIFY(s.AutoOff.checked());
    for (const Control* interval : menu.intervals())
        QVERIFY(!interval->checked());
    QVERIFY(!s.TextForNextAuto.visible() && !s.AutoClockBox.visible());
    QVERIFY(!s.InitAutoload.checked());
}

} // namespace

class AutoDownloadConfirmTest : public QObject {
    Q_OBJECT
  private slots:
    void cancelledConfirmationThenSaveChart() {
        Harness h;
        State& s = h.state();
        h.menu().IntervalClick(s.Auto4hours);
        QVERIFY(s.Form5.Shown.visible());
        h.dialogs().Button2Click(s.Form5);
        VerifyOff(s, h.menu());
        QVERIFY(s.Edit2.isEmpty());

        h.saveChart("chart.csv");
        QCOMPARE(h.host.saveDialogs, 1);
        QVERIFY(h.dir.exists("chart.csv"));
        QVERIFY(h.dir.exists("chart.zlx"));
        QCOMPARE(h.monthlyFiles(), QStringList());
        VerifyOff(s, h.menu());
    }

    // With downloads chosen, "Save Chart" saves the chart and leaves the schedule as it was.
    void saveChartWhileDownloadsAreChosen() {
        Harness h;
        State& s = h.state();
        h.host.savePath = h.dir.file("site.csv").toLocal8Bit();
        h.menu().IntervalClick(s.Auto24hrs);
        h.dialogs().Button1Click(s.Form5);
        const QByteArray base = s.Edit2.text();
        QCOMPARE(base, *h.host.savePath);
        const double due = s.AutoClockTime;

        h.saveChart("chart.csv");
        QVERIFY(h.dir.exists("chart.csv"));
        QVERIFY(h.dir.exists("chart.zlx"));
        QCOMPARE(s.Edit2.text(), base);
        QCOMPARE(s.AutoClockTime.load(), due);
        QVERIFY(s.Auto24hrs.checked() && !s.AutoOff.checked());
        QVERIFY(s.TextForNextAuto.visible() && s.AutoClockBox.visible());
        QCOMPARE(h.monthlyFiles(), QStringList());
    }
};

QTEST_GUILESS_MAIN(AutoDownloadConfirmTest)
#include "auto_download_confirm_test.moc"
