// The window's Auto Download schedule across a restart: kept when it gets its file, resumed
// at start-up with its next download shown, and left off once switched off.
#include "core/state.h"
#include "schedule/schedule_menu.h"
#include "test_clock.h"
#include "ui/main_window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zantrel;

namespace {

// Windows started one after the other in one settings folder, as the program restarted.
class Restarts {
  public:
    Restarts() {
        QDir::setCurrent(dir_.path());
        QFile file(dir_.filePath("COMPORT.DAT"));
        if (file.open(QIODevice::WriteOnly)) file.write("NA");
    }
    ~Restarts() {
        form_.reset();
        QDir::setCurrent(previous_);
    }
    State& start() {
        form_.reset();
        form_ = std::make_unique<TForm1>(clock_);
        form_->FormCreate(QFile::encodeName(dir_.path()), {});
        return form_->engine().state();
    }
    TForm1& form() { return *form_; }
    QByteArray base() const { return QFile::encodeName(dir_.filePath("site.csv")); }

  private:
    QTemporaryDir dir_;
    QString previous_ = QDir::currentPath();
    TestClock clock_;
    std::unique_ptr<TForm1> form_;
};

} // namespace

class ScheduleMemoryTest : public QObject {
    Q_OBJECT
  private slots:
    void resumedAfterARestart() {
        Restarts r;
        State& first = r.start();
        first.C2.setChecked(true);
        first.AutoOff.setChecked(false);
        first.Auto4hours.setChecked(true);
        first.Edit2.setText(r.base());

        State& s = r.start();
        QVERIFY(s.Auto4hours.checked());
        QVERIFY(!s.Auto1hour.checked());
        QVERIFY(!s.AutoOff.checked());
        QVERIFY(s.C1.checked() && s.C2.checked());
        QCOMPARE(s.Edit2.text(), r.base());
        QVERIFY(s.TextForNextAuto.visible());
        QVERIFY(!s.AutoClock.text().isEmpty());
    }

    // Switched off, or never given a file, the schedule stays off after a restart.
    void offStaysOff() {
        Restarts r;
        State& first = r.start();
        first.AutoOff.setChecked(false);
        first.Auto1hour.setChecked(true);
        first.Edit2.setText(r.base());
        r.form().engine().scheduleMenu().AutoOffClick();

        State& s = r.start();
        QVERIFY(s.AutoOff.checked());
        QVERIFY(!s.Auto1hour.checked());
        QVERIFY(s.Edit2.text().isEmpty() || s.Edit2.text() == "0");
        QVERIFY(!s.TextForNextAuto.visible());
    }
};

QTEST_MAIN(ScheduleMemoryTest)
#include "schedule_memory_test.moc"
