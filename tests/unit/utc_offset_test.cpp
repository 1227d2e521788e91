// One fixed offset per file from the logger's clock to UTC: the zone's offset at the first
// reading (across the gaps and repeats of daylight saving), or one the user gives.
#include "archive/utc_offset.h"
#include "core/calendar.h"

#include <QtTest>

using namespace zantrel;

namespace {
double At(int y, int mo, int d, int h, int mi) {
    return *EncodeDateTime(y, mo, d, h, mi, 0);
}
} // namespace

class UtcOffsetTest : public QObject {
    Q_OBJECT
  private slots:
    void zoneOffsetAtFirstReading_data() {
        QTest::addColumn<double>("first");
        QTest::addColumn<int>("seconds");
        QTest::newRow("winter") << At(2026, 1, 15, 12, 0) << 3600;
        QTest::newRow("summer") << At(2026, 7, 1, 0, 0) << 7200;
        QTest::newRow("just before spring change") << At(2026, 3, 29, 1, 59) << 3600;
        QTest::newRow("in the skipped hour") << At(2026, 3, 29, 2, 30) << 7200;
        QTest::newRow("in the repeated hour") << At(2026, 10, 25, 2, 30) << 7200;
        QTest::newRow("after the repeated hour") << At(2026, 10, 25, 3, 0) << 3600;
    }
    void zoneOffsetAtFirstReading() {
        QFETCH(double, first);
        QFETCH(int, seconds);
        const auto berlin = UtcOffsetRule::Zone("Europe/Berlin");
        QVERIFY(berlin);
        QCOMPARE(berlin->secondsAt(first), seconds);
    }

    void fixedOffsets() {
        QCOMPARE(UtcOffsetRule::Fixed("+05:30")->secondsAt(At(2026, 7, 1, 0, 0)), 19800);
        QCOMPARE(UtcOffsetRule::Fixed("-03:00")->secondsAt(0), -10800);
        QCOMPARE(UtcOffsetRule::Fixed("+14:00")->secondsAt(0), 50400);
        for (const char* bad : {"+5:30", "05:30", "+15:00", "+14:30", "+01:60", "", "+01:00x"})
            QVERIFY2(!UtcOffsetRule::Fixed(bad), bad);
        QVERIFY(!UtcOffsetRule::Zone("Mars/Olympus_Mons"));
    }

    void texts() {
        QCOMPARE(UtcOffsetText(3600), QByteArray("+01:00"));
        QCOMPARE(UtcOffsetText(-19800), QByteArray("-05:30"));
        QCOMPARE(UtcOffsetText(0), QByteArray("+00:00"));
        const double t = At(2026, 3, 30, 8, 7) + 30 * kOneSecond;
        QCOMPARE(UtcIsoText(UtcEpochMs(t, 7200)), QByteArray("2026-03-30T06:07:30Z"));
        QCOMPARE(UtcEpochMs(At(1970, 1, 1, 1, 0), 3600), int64_t(0));
        QCOMPARE(UtcIsoText(UtcEpochMs(At(2026, 1, 1, 0, 30), -3600)),
                 QByteArray("2026-01-01T01:30:00Z"));
        // Before 1970 the day still starts at midnight; a part second is written only then.
        QCOMPARE(UtcIsoText(-1), QByteArray("1969-12-31T23:59:59.999Z"));
        QCOMPARE(UtcIsoText(951782400250), QByteArray("2000-02-29T00:00:00.250Z"));
        QCOMPARE(UtcIsoText(253402300799000), QByteArray("9999-12-31T23:59:59Z"));
        QCOMPARE(UtcIsoText(253402300800000), QByteArray("10000-01-01T00:00:00.000Z"));
    }
};

QTEST_GUILESS_MAIN(UtcOffsetTest)
#include "utc_offset_test.moc"
