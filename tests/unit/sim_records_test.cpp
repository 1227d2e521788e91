// What the simulated logger stores and sends: raw readings, headers and packets, byte by byte.

#include "sim/header_text.h"
#include "sim/logger_config.h"
#include "sim/logger_memory.h"
#include "sim/packet_builder.h"
#include "sim/raw_scale.h"
#include "sim_fixtures.h"

#include <QTest>

#include <cmath>

using namespace zantrel::sim;

namespace {

ChannelConfig channel(ChannelKind kind, int readings, int period = 900) {
    ChannelConfig c;
    c.kind = kind;
    c.readingCount = readings;
    c.storagePeriodSeconds = period;
    return c;
}

LoggerConfig logger(int version, ChannelConfig one, ChannelConfig two) {
    LoggerConfig config;
    config.version = version;
    config.channels = {one, two};
    return config;
}

} // namespace

class SimRecordsTest : public QObject {
    Q_OBJECT

  private slots:
    void version2ScaleIsTheHeaderLine() {
        // Default points: raw 0x1900 is 60.0 C and raw 0 is -40.0 C, so one step is 1/64 C.
        const auto scale = RawScale::fromCalibration(2, {});
        QVERIFY(scale);
        QCOMPARE(scale->encode(21.4375), 0x0F5C);
        QCOMPARE(scale->decode(0x0F5C), 21.4375);
        QCOMPARE(scale->decode(0x0190), -33.75);
        // Readings below raw 0 are signed 16-bit values.
        QCOMPARE(scale->decode(0xFF00), -44.0);
    }

    void version2ScaleNeverStoresARecordCode() {
        const auto scale = RawScale::fromCalibration(2, {});
        for (double c = -40.2; c < -39.9; c += 1 / 256.0) {
            const int raw = scale->encode(c);
            QVERIFY2(raw < 0xFFF8, qPrintable(QString::number(raw, 16)));
        }
    }

    void version2ScaleSignExtendsTheCalibrationPoints() {
        // FF9C is -100: the line runs from -100 (-10.0 C) to 100 (10.0 C).
        const auto scale = RawScale::fromCalibration(2, {"0064", "10.0", "FF9C", "-10.0"});
        QVERIFY(scale);
        QCOMPARE(scale->decode(0), 0.0);
        QCOMPARE(scale->decode(0xFFCE), -5.0);
        QCOMPARE(scale->encode(5.0), 50);
    }

    void version1ScaleFollowsTheKelvinFormula() {
        // Defaults 2E1F/368 and 2000/256: slope 1 kelvin per whole step, divisor 31.
        const auto scale = RawScale::fromCalibration(1, {});
        QVERIFY(scale);
        const int raw = 294 * 32 + 5;
        QCOMPARE(scale->decode(raw), 5.0 / 31 + 294 - 273.15);
        QCOMPARE(scale->encode(5.0 / 31 + 294 - 273.15), raw);
        QVERIFY(std::fabs(scale->decode(scale->encode(18.3)) - 18.3) <= 0.5 / 31);
    }

    void unusableCalibrationsAreRefused() {
        QString why;
        QVERIFY(!RawScale::fromCalibration(2, {"0100", "10.0", "0100", "20.0"}, &why));
        QVERIFY(!why.isEmpty());
        // Divisor ((31 - raw2) & raw1) & 31 is 0.
        QVERIFY(!RawScale::fromCalibration(1, {"2E00", "+368.0", "2000", "+256.0"}));
        QVERIFY(!RawScale::fromCalibration(1, {"2E1", "+368.0", "2000", "+256.0"}));
        QVERIFY(!RawScale::fromCalibration(2, {"XYZ", "1", "0", "2"}));
    }

    void version2Header() {
        ChannelConfig two = channel(ChannelKind::Temperature, 3, 60);
        two.firstReading = wallTime(2009, 12, 31, 23, 59, 0);
        two.temperaturePoints = {};
        LoggerConfig config = logger(2, channel(ChannelKind::TemperatureRh, 4), two);
        const QByteArray expected = "001\r\nModel ZL-200\r\nSerial 10001\r\n2 channels\r\n"
                                    "Calibrated 01/04/10\r\n1 points\r\nMeasured 25.00\r\n"
                                    "Actual 25.10\r\n1 points\r\nMeasured 50.00\r\n"
                                    "Actual 49.00\r\nSampled every 5 seconds\r\n"
                                    "Stored every 900 seconds\r\n01/01/10\r\n00:45:00\r\n"
                                    "01/01/10\r\n00:00:00\r\n1T\r\n16 bits signed\r\n"
                                    "1900 60.0\r\n0000 -40.0\r\nC\r\n"
                                    "IIR filter 12.5% last output\r\n2H\r\n8 bits unsigned\r\n"
                                    "64 100.0\r\n00 0.0\r\n%RH\r\nIIR filter 0% last output\r\n"
                                    "002\r\nModel ZL-200\r\nSerial 10001\r\n"
                                    "1 channels\r\nCalibrated 01/04/10\r\n0 points\r\n"
                                    "Sampled every 5 seconds\r\nStored every 60 seconds\r\n"
                                    "01/01/10\r\n00:01:00\r\n12/31/09\r\n23:59:00\r\n1T\r\n"
                                    "16 bits signed\r\n1900 60.0\r\n0000 -40.0\r\nC\r\n"
                                    "IIR filter 12.5% last output\r\n";
        QCOMPARE(LoggerMemory(config).header(), expected);
        config.channels[0] = channel(ChannelKind::NoData, 0);
        QVERIFY(LoggerMemory(config).header().startsWith("001\r\nNo data\r\n002\r\nModel "));
    }

    void version1HeaderLines() {
        ChannelConfig one = channel(ChannelKind::Temperature, 2, 900);
        ChannelConfig two = channel(ChannelKind::Temperature, 1, 3600);
        const QByteArray header = LoggerMemory(logger(1, one, two)).header();
        const QByteArray expected =
            "<1>\n2E1F\r\n+368.0\r\n2000\r\n+256.0\r\nZL unit\r\n4\r\n720\r\nWrap when full\r\n"
            "01/01/10\r\n00:15:00\r\n01/01/10\r\n00:00:00\r\n2\r\n"
            "2E1F\r\n+368.0\r\n2000\r\n+256.0\r\nZL unit\r\n1\r\n720\r\nWrap when full\r\n"
            "01/01/10\r\n00:00:00\r\n01/01/10\r\n00:00:00\r\n";
        QCOMPARE(header, expected);
    }

    void version1HumidityModelHas38Lines() {
        ChannelConfig rh = channel(ChannelKind::TemperatureRh, 5);
        const QByteArray header = LoggerMemory(logger(1, rh, rh)).header();
        QCOMPARE(header.count('\n'), 38);
        QVERIFY(header.endsWith("\r\n"));
        QVERIFY(header.startsWith("<1>\n"));
    }

    void version2PacketOfTwoReadings() {
        // Raw 0190 and 01A0: the record bytes add up to 0x32.
        ChannelConfig c = channel(ChannelKind::Temperature, 2);
        c.celsius = {-33.75, -33.5};
        const LoggerMemory memory(logger(2, c, c));
        const QByteArray expected = bytes({'+', 0x01, 0x90, 0x01, 0xA0, 0x32, 0, 0, 13, 10});
        QCOMPARE(version2Packet(memory.channel(1), {0, 2}, false), expected);
        QByteArray bad = expected;
        bad[5] = char(0x33);
        QCOMPARE(version2Packet(memory.channel(1), {0, 2}, true), bad);
    }

    void version2PacketWithEventsGapAndHumidity() {
        ChannelConfig c = channel(ChannelKind::TemperatureRh, 4);
        c.celsius = {-33.75, 0, 21.4375, -33.5};
        c.humidity = {40, 0, 92, 55};
        c.gaps = {1};
        c.events = {
            {2, EventCode::TempAlarmStart}, {1, EventCode::NewSensor}, {2, EventCode::TestEnd}};
        const LoggerMemory memory(logger(2, c, c));
        const StoredChannel& stored = memory.channel(1);
        // Readings 1..3: new sensor, gap, alarm start, test end, 21.4375 C / 92 %RH, reading 3;
        // then the checksum and the closing zero record.
        QCOMPARE(
            version2Packet(stored, {1, 3}, false),
            bytes({'+',  0xFF, 0xF8, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0xFF, 0xF9, 0x00,
                   0x0F, 0x5C, 92,   0x01, 0xA0, 55,   0x88, 0,    0,    0,    13,   10}));
        QCOMPARE(int(version2Checksum(stored, {1, 3})), 0x88);
        QVERIFY(std::isnan(stored.readings()[1].celsius));
        QCOMPARE(stored.readings()[1].humidity, -1);
        QCOMPARE(stored.events().size(), size_t(3));
        QCOMPARE(stored.events()[0].code, EventCode::NewSensor);
        QCOMPARE(stored.events()[1].time, wallTime(2010, 1, 1, 0, 30));
    }

    void everyBackslashIsDoubled() {
        QCOMPARE(escaped(bytes({'+', 92, 1, 92, 92})), bytes({'+', 92, 92, 1, 92, 92, 92, 92}));
        QCOMPARE(escaped("plain"), QByteArray("plain"));
    }

    void version1PacketIsHexadecimalText() {
        ChannelConfig c = channel(ChannelKind::TemperatureRh, 3);
        c.calibration.raw1 = "2E1F00"; // six-character fields
        c.celsius = {5.0 / 31 + 294 - 273.15, 0, 0};
        c.humidity = {71, 0, 0};
        c.gaps = {1};
        const LoggerMemory memory(logger(1, c, c));
        const QByteArray packet =
            version1Packet(memory.channel(1), {0, 2}, '1', "010110000000000002", 6);
        QCOMPARE(packet, QByteArray("1+010110000000000002"
                                    "24C50047"
                                    "FFFF00FF"
                                    "00000000\r\n"));
    }

    void requestsStartAtTheReadingThatHoldsTheirTime() {
        ChannelConfig c = channel(ChannelKind::Temperature, 4000, 15);
        const LoggerMemory memory(logger(2, c, c));
        const StoredChannel& stored = memory.channel(1);
        const QDateTime first = stored.firstTime();
        QCOMPARE(stored.indexAt(first.addSecs(-60)), 0);
        QCOMPARE(stored.indexAt(first), 0);
        // A next block starts one second after the previous block's end.
        QCOMPARE(stored.indexAt(first.addSecs(1500 * 15 + 1)), 1500);
        const ReadingSpan last = stored.span(first.addSecs(3000 * 15 + 2), 1000);
        QCOMPARE(last.first, 3000);
        QCOMPARE(last.count, 1000);
        QCOMPARE(stored.span(first.addSecs(3999 * 15), 10).count, 1);
        QCOMPARE(stored.span(first.addSecs(5000 * 15), 10).count, 0);
    }

    void dayCountsAreDaysSinceTheLastDaysOf1899() {
        QCOMPARE(dayCount(wallTime(2010, 1, 1, 12)), 40179.5);
        QCOMPARE(dayCount(wallTime(1899, 12, 29, 18)), -0.25);
    }

    void requestTimesTakeTheNearestCentury() {
        const LoggerMemory memory(LoggerConfig{});
        QCOMPARE(memory.requestTime("031009140005"), wallTime(2009, 3, 10, 14, 0, 5));
        QCOMPARE(memory.requestTime("123199235959"), wallTime(1999, 12, 31, 23, 59, 59));
        QVERIFY(!memory.requestTime("133109140000").isValid());
        QVERIFY(!memory.requestTime("0310091400").isValid());
    }

    void generatedSeriesIsPlausibleAndRepeatable() {
        ChannelConfig c = channel(ChannelKind::TemperatureRh, 500, 300);
        const LoggerMemory a(logger(2, c, c)), b(logger(2, c, c));
        for (const StoredReading& r : a.channel(1).readings()) {
            QVERIFY(r.celsius > 10 && r.celsius < 32);
            QVERIFY(r.humidity >= 0 && r.humidity <= 100);
        }
        QCOMPARE(a.channel(1).readings()[321].raw, b.channel(1).readings()[321].raw);
    }

    void configProblemsAreNamed() {
        LoggerConfig config;
        QVERIFY(configProblem(config).isEmpty());
        config.channels[1].gaps = {96};
        QVERIFY(configProblem(config).startsWith("channel 2"));
        config = LoggerConfig{};
        config.version = 1;
        config.channels[0].kind = ChannelKind::NoData;
        QVERIFY(!configProblem(config).isEmpty());
        config.channels[0].kind = ChannelKind::TemperatureRh;
        QVERIFY(!configProblem(config).isEmpty()); // the two channels differ
        config.channels[1].kind = ChannelKind::TemperatureRh;
        QVERIFY(configProblem(config).isEmpty());
        config.channels[0].storagePeriodSeconds = 7;
        QVERIFY(!configProblem(config).isEmpty());
        config = LoggerConfig{};
        config.channels[0].model = "two\r\nlines";
        QVERIFY(!configProblem(config).isEmpty());
    }
};

QTEST_GUILESS_MAIN(SimRecordsTest)
#include "sim_records_test.moc"
