// The packet decoder seen through the engine: hexadecimal text appended to the packet slot in
// pieces, and what reaches the store, the chart, the status line and the next-block slot.
#include "chart/chart_model.h"
#include "core/channel_header.h"
#include "core/state.h"
#include "protocol/packet_parser.h"
#include "protocol/upload_blocks.h"
#include "protocol_engine.h"

#include <QtTest>

using namespace zantrel;

namespace {

constexpr double kStart = 40179.5; // 1 January 2010 12:00
constexpr double kFifteenSeconds = 15.0 / 86400.0;

// A newer logger's packet: acknowledgement, records, checksum (the sum of the record bytes
// unless given), terminator and line end.
QByteArray Packet(const QByteArray& records, int recordLength, int checksum = -1) {
    int sum = 0;
    for (qsizetype i = 0; i + 1 < records.size(); i += 2)
        sum += records.mid(i, 2).toInt(nullptr, 16);
    const int value = checksum >= 0 ? checksum : sum & 0xFF;
    return "2B" + records + QByteArray::number(value, 16).rightJustified(2, '0').toUpper() +
           QByteArray(recordLength, '0') + "0D0A";
}

// An older logger's packet: 40 hexadecimal characters of lead-in, the records as plain
// characters, then zeros and a line end.
QByteArray OlderPacket(const QByteArray& records, int sampleDigits) {
    return "312B" + QByteArray(36, '0') + records + QByteArray(sampleDigits + 2, '0') + "\r\n";
}

struct Harness : PortlessEngine {
    // A newer logger's temperature sensor on channel 1: raw 0 is 0 C, raw 1600 is 100 C, so
    // 0190 is 25 C, 01A0 26 C and FF9C (-100) -6.25 C.
    explicit Harness(int version = 2, bool humidity = false) {
        State& s = state();
        // The block loop is not under test: the slot is only observed.
        s.Memo1.onChange = nullptr;
        s.Memo1.setText("<>"); // as the header or the previous block left it
        memo1.clear();
        s.LoggerVersion = version;
        ChannelHeader& channel = engine->header().channel(true);
        channel.SensorCount = humidity ? 2 : 1;
        channel.StoredPerHour = 240;
        setLine(1600, 100, 0, 0);
        // Older loggers: kelvin in whole degrees above bit 5, sixteenths in the low five bits.
        channel.Raw1Text = "201000";
        channel.Raw2Text = "000000";
        channel.Value1 = 256;
        channel.Value2 = 0;
        engine->header().SampleHexDigits = 4;
        s.Startdate.setValue(std::floor(kStart));
        s.Starttime.setValue(kStart - std::floor(kStart));
        s.RHZL.set(humidity);
    }
    void setLine(int raw1, float value1, int raw2, float value2) {
        SensorHeader& t = engine->header().channel(true).Sensors[0];
        t.Letter = 'T';
        t.Bits = 16;
        t.Signed = true;
        t.Raw1 = raw1;
        t.Value1 = value1;
        t.Raw2 = raw2;
        t.Value2 = value2;
    }
    // What the block request does before a packet arrives.
    void expectBlock(int count) {
        engine->blocks().BlockCount = count;
        engine->state().Memo5.clear();
        engine->state().Startloadingdata.tick();
    }
    void deliver(const QByteArray& text, int piece) {
        for (qsizetype i = 0; i < text.size(); i += piece)
            engine->state().Memo5.append(text.mid(i, piece));
    }
};

void expectAccepted(Harness& h) {
    QVERIFY(h.status.contains("Checksum verified."));
    QCOMPARE(h.memo1, (QList<QByteArray>{"", "<>"}));
    QVERIFY(!h.state().Startloadingdata.checked());
    QVERIFY(!h.state().Errorindata.checked());
}

void expectNothingCommitted(Harness& h) {
    QVERIFY(h.store().ReadingTimes.empty() && h.store().Temperatures.empty());
    for (const auto& list : h.store().Events)
        QVERIFY(list.empty());
    QCOMPARE(h.chart().Series1.label(0), QByteArray("No data")); // the chart as start-up left it
    QVERIFY(h.memo1.isEmpty());
}

} // namespace

class PacketDecoderTest : public QObject {
    Q_OBJECT
  private slots:
    void hexDigitsIncludeTheCharactersStarToQuestionMark() {
        QCOMPARE(ParseHex("fFaA"), 0xFFAA);
        QCOMPARE(ParseHex("*+,-./:;<=>?"), 0xABCD); // at most four characters
        QCOMPARE(ParseHex("3g5"), 3);
        QCOMPARE(ParseHex("g1"), 0);
        QCOMPARE(ParseHex(""), 0);
    }

    void aWrongChecksumRejectsTheBlockAndLeavesEverythingAsItWas() {
        Harness h;
        h.expectBlock(2);
        h.engine->blocks().BlockStart = 123;
        h.state().UploadData.setEnabled(false);
        const qint64 slept = h.clock.sleptMs();
        h.deliver("2B019001A03100000D0A", 3);
        QCOMPARE(h.state().Edit1.text(), QByteArray("BAD CHECKSUM (50<>31)...PLEASE WAIT..."));
        QVERIFY(h.state().Startloadingdata.checked() && h.state().Errorindata.checked());
        QCOMPARE(h.clock.sleptMs() - slept, 100);
        expectNothingCommitted(h);
        QCOMPARE(h.engine->blocks().BlockStart, 123.0);
        QVERIFY(!h.state().UploadData.enabled());

        // Bytes that trail the rejected packet (ending like a packet) do not run it again.
        h.deliver("00000D0A", 8);
        QCOMPARE(h.clock.sleptMs() - slept, 100);
    }

    void aPacketIsCommittedAndDrawnAsItArrives_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("humidity");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("block");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::vector<float>>("temperatures");
        QTest::addColumn<QByteArray>("series1");
        QTest::addColumn<QByteArray>("series2");
        const float gap = NoReading;
        QTest::newRow("example") << 2 << false << 4 << 2 << QByteArray("2B019001A03200000D0A")
                                 << std::vector{25.0f, 26.0f} << QByteArray("RR |")
                                 << QByteArray("NN ns|");
        QTest::newRow("signed") << 2 << false << 4 << 1 << Packet("FF9C", 4) << std::vector{-6.25f}
                                << QByteArray("R ") << QByteArray("N ns");
        QTest::newRow("gap") << 2 << false << 4 << 3 << Packet("0190FFFF01A0", 4)
                             << std::vector{25.0f, gap, 26.0f} << QByteArray("RS |")
                             << QByteArray("NN ns|");
        QTest::newRow("first a gap")
            << 2 << false << 4 << 2 << Packet("FFFF0190", 4) << std::vector{gap, 25.0f}
            << QByteArray("S ") << QByteArray("N .");
        QTest::newRow("events") << 2 << false << 4 << 3
                                << Packet("0190FFFEFFFE01A0FFF8FFF8FFFAFFF901B0", 4)
                                << std::vector{25.0f, 26.0f, 27.0f} << QByteArray("RRR ||")
                                << QByteArray("NNN ns|2 tas|2 ns, ts, te");
        QTest::newRow("new sensors first")
            << 2 << false << 4 << 1 << Packet("FFF8FFF80190", 4) << std::vector{25.0f}
            << QByteArray("R ") << QByteArray("N 3 ns");
        QTest::newRow("humidity") << 2 << true << 4 << 3 << Packet("01902DFFFF00FFFE0001A032", 6)
                                  << std::vector{25.0f, gap, 26.0f} << QByteArray("RS |")
                                  << QByteArray("BS ns|tas");
        QTest::newRow("older") << 1 << false << 6 << 3 << OlderPacket("2468ABfffe00FFFF00", 6)
                               << std::vector{18.35f, 1775.725f, gap} << QByteArray("RR |")
                               << QByteArray("NN ns|");
    }
    void aPacketIsCommittedAndDrawnAsItArrives() {
        QFETCH(int, version);
        QFETCH(bool, humidity);
        QFETCH(int, width);
        QFETCH(int, block);
        QFETCH(QByteArray, text);
        QFETCH(std::vector<float>, temperatures);
        Harness h(version, humidity);
        h.state().TempInF.setChecked(false);
        h.engine->header().SampleHexDigits = width;
        h.expectBlock(block);
        h.deliver(text, 5);
        expectAccepted(h);
        QCOMPARE(h.store().Temperatures, temperatures);
        std::vector<double> times;
        for (size_t i = 0; i < temperatures.size(); ++i)
            times.push_back(kStart + i * kFifteenSeconds);
        QCOMPARE(h.store().ReadingTimes, times);
        QCOMPARE(h.store().Humidities.size(), humidity ? temperatures.size() : 0);
        QTEST(SeriesPoints(h.chart().Series1), "series1");
        QTEST(SeriesPoints(h.chart().Series2), "series2");
        QCOMPARE(h.engine->blocks().BlockStart, times.back());
    }

    void eventsGoToTheirListsWithTheTimeOfTheNextReading() {
        Harness h;
        h.expectBlock(2);
        h.deliver(Packet("0190FFFEFFFEFFFDFFFCFFFBFFFAFFF9FFF801A0", 4), 7);
        const double next = kStart + kFifteenSeconds;
        QCOMPARE(h.store().TempAlarmStartEvents(), (std::vector{next, next}));
        for (int kind = RhAlarmStart; kind < EventKindCount; ++kind)
            QCOMPARE(h.store().Events[kind], (std::vector{next}));
    }

    void aTextIsExaminedOnlyOnceItCanHoldThePacket_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("L+4 characters") << QByteArray("2B000000");
        QTest::newRow("short of the block") << QByteArray("2B01900000000D0A");
        QTest::newRow("no line end") << QByteArray("2B0190019001900000111");
        QTest::newRow("terminator not zero") << QByteArray("2B019001A0320100100D0A");
    }
    void aTextIsExaminedOnlyOnceItCanHoldThePacket() {
        QFETCH(QByteArray, text);
        Harness h;
        h.expectBlock(2);
        h.deliver(text, 100);
        QVERIFY(h.state().Startloadingdata.checked());
        QVERIFY(!h.state().Edit1.text().startsWith("BAD"));
        expectNothingCommitted(h);
    }

    void everyReadingTakesTheRangeStartWhenTheRateIsZero() {
        Harness h;
        h.state().Samplesperhour.setText("0");
        h.expectBlock(3);
        h.deliver(Packet("019001A001B0", 4), 6);
        QCOMPARE(h.store().ReadingTimes, (std::vector{kStart, kStart, kStart}));
    }

    void aLaterPacketContinuesTheSession() {
        Harness h;
        h.expectBlock(2);
        h.deliver(Packet("0190FFFF", 4), 4);
        h.memo1.clear();
        h.expectBlock(1);
        h.deliver(Packet("01A0", 4), 4);
        expectAccepted(h);
        QCOMPARE(h.store().ReadingTimes.back(), kStart + 2 * kFifteenSeconds);
        QCOMPARE(SeriesPoints(h.chart().Series1),
                 QByteArray("RS |")); // silver across the packets' gap
        QCOMPARE(SeriesPoints(h.chart().Series2),
                 QByteArray("NN ns|")); // "ns" only on the session's first
    }

    void aPacketLongerThanItsBlockWaitsUntilItIsWhole() {
        Harness h;
        QByteArray records;
        for (int i = 0; i < 30; ++i)
            records += "FFFE00000000";
        h.expectBlock(60);
        const QByteArray packet = Packet(records, 4);
        const PacketLayout layout = PacketLayout::make(false, 4, 0, false, 60);
        int looksCompleteEarly = 0;
        for (qsizetype at = 0; at + 3 < packet.size(); at += 3) {
            h.state().Memo5.append(packet.mid(at, 3));
            if (LooksComplete(h.state().Memo5.text(), layout)) ++looksCompleteEarly;
            QVERIFY(h.state().Startloadingdata.checked() && !h.state().Errorindata.checked());
            QVERIFY(h.memo1.isEmpty() && h.store().Temperatures.empty());
        }
        QVERIFY(looksCompleteEarly > 0); // the early passes are what this guards against
        h.state().Memo5.append(packet.mid(packet.size() - (packet.size() - 1) % 3 - 1));
        expectAccepted(h);
        QCOMPARE(h.store().Temperatures.size(), size_t(60));
        QCOMPARE(h.store().TempAlarmStartEvents().size(), size_t(30));
    }

    void aCalibrationThatDividesByZeroGivesGaps_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QByteArray>("raw1");
        QTest::addColumn<QByteArray>("raw2");
        QTest::newRow("equal raw values") << 2 << QByteArray() << QByteArray();
        QTest::newRow("divisor 0") << 1 << QByteArray("2000") << QByteArray("1000");
        QTest::newRow("raw span below 32") << 1 << QByteArray("0011") << QByteArray("0001");
    }
    void aCalibrationThatDividesByZeroGivesGaps() {
        QFETCH(int, version);
        Harness h(version);
        h.setLine(500, 50, 500, 40);
        ChannelHeader& c = h.engine->header().channel(true);
        QFETCH(QByteArray, raw1);
        QFETCH(QByteArray, raw2);
        c.Raw1Text = raw1;
        c.Raw2Text = raw2;
        h.expectBlock(3);
        const QByteArray records = "000001F48000";
        h.deliver(version == 1 ? OlderPacket(records, 4) : Packet(records, 4), 8);
        expectAccepted(h);
        QCOMPARE(h.store().Temperatures, (std::vector{NoReading, NoReading, NoReading}));
        QCOMPARE(h.chart().Series1.PointCount(), 0);
    }

    void theSelectedChannelsCalibrationConverts() {
        Harness h;
        h.state().RadioButton2.setChecked(true);
        h.state().RadioButton1.setChecked(false);
        SensorHeader& t = h.engine->header().channel(false).Sensors[0];
        t.Raw1 = 64;
        t.Value1 = 1;
        h.expectBlock(1);
        h.deliver(Packet("0190", 4), 4);
        QCOMPARE(h.store().Temperatures, (std::vector{6.25f}));
    }
};

QTEST_GUILESS_MAIN(PacketDecoderTest)
#include "packet_decoder_test.moc"
