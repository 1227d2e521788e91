// The local time that a stretch of real time brings, across daylight-saving changes: what the
// status line shows as the next automatic download.
#include "core/calendar.h"
#include "core/clock.h"
#include "core/date_rendering.h"

#include <QTimeZone>
#include <QtTest>

using namespace zantrel;

namespace {

QDateTime Berlin(int month, int day, int hour, int minute) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), QTimeZone("Europe/Berlin"));
}

double Fields(int month, int day, int hour, int minute) {
    return *EncodeDateTime(2026, month, day, hour, minute, 0);
}

} // namespace

class ScheduleClockTest : public QObject {
    Q_OBJECT
  private slots:
    void localTimeAfterRealTime_data() {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("expected");
        // 02:00 becomes 03:00 on 29 March: 02:30 does not exist that night.
        QTest::newRow("spring, 1 hour") << Berlin(3, 29, 1, 30) << 3600.0 << Fields(3, 29, 3, 30);
        QTest::newRow("spring, 4 hours")
            << Berlin(3, 29, 0, 0) << 4 * 3600.0 << Fields(3, 29, 5, 0);
        // 03:00 becomes 02:00 on 25 October: the hour from 02:00 comes twice.
        QTest::newRow("autumn, 2 hours")
            << Berlin(10, 25, 1, 30) << 2 * 3600.0 << Fields(10, 25, 2, 30);
        QTest::newRow("autumn, 1 day") << Berlin(10, 24, 12, 0) << 86400.0 << Fields(10, 25, 11, 0);
        QTest::newRow("no change") << Berlin(6, 1, 10, 0) << 8 * 3600.0 << Fields(6, 1, 18, 0);
    }
    void localTimeAfterRealTime() {
        QFETCH(QDateTime, from);
        QFETCH(double, seconds);
        QFETCH(double, expected);
        QVERIFY(from.isValid());
        QCOMPARE(FormatDateTime("yyyy-mm-dd hh:mm:ss", LocalDayCountAfter(from, seconds)),
                 FormatDateTime("yyyy-mm-dd hh:mm:ss", expected));
    }
};

QTEST_GUILESS_MAIN(ScheduleClockTest)
#include "schedule_clock_test.moc"
