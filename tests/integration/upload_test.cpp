// Whole uploads through the engine against the simulated logger: commands byte for byte,
// every reading, humidity and event as the logger stored it, and the status texts.
#include "chart/chart_model.h"
#include "chart/readings_store.h"
#include "core/state.h"
#include "core/text_slot.h"
#include "files/chart_file_loader.h"
#include "files/chart_file_writer.h"
#include "link/serial_link.h"
#include "protocol/upload_session.h"
#include "upload_harness.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace zantrel;

namespace {

sim::LoggerConfig Logger(int version, sim::ChannelKind kind, int readings, int period = 900) {
    sim::LoggerConfig config;
    config.version = version;
    for (auto& channel : config.channels) {
        channel.kind = kind;
        channel.readingCount = readings;
        channel.storagePeriodSeconds = period;
        channel.firstReading = sim::wallTime(2009, 12, 30, 8, 0, 0);
    }
    return config;
}

// Every stored reading came through with its time, temperature and humidity.
void expectReadings(UploadHarness& h, int channel) {
    const ReadingsStore& store = h.engine().readings();
    const auto& stored = h.logger().channel(channel).readings();
    QCOMPARE(store.Temperatures.size(), stored.size());
    QCOMPARE(store.ReadingTimes.size(), stored.size());
    const bool rh = h.logger().channel(channel).hasHumidity();
    QCOMPARE(store.Humidities.size(), rh ? stored.size() : 0);
    for (size_t i = 0; i < stored.size(); ++i) {
        QVERIFY2(std::abs(store.ReadingTimes[i] - sim::dayCount(stored[i].time)) < 0.5 / 86400,
                 qPrintable(QString("time of reading %1").arg(i)));
        if (stored[i].gap) {
            QCOMPARE(store.Temperatures[i], NoReading);
            if (rh) QCOMPARE(store.Humidities[i], NoReading);
            continue;
        }
        QVERIFY2(std::abs(store.Temperatures[i] - stored[i].celsius) < 0.01,
                 qPrintable(QString("reading %1").arg(i)));
        if (rh) QCOMPARE(store.Humidities[i], float(stored[i].humidity));
    }
}

QByteArray Field(const QDateTime& t) {
    return t.toString("MMddyyHHmmss").toLatin1();
}

constexpr double kSecond = 1.0 / 86400;

// Starts the engine on the logger (the port setting's speed part appended) and presses
// "Upload Data" for the channel.
void StartUpload(UploadHarness& h, const QByteArray& portTail = {}, int channel = 1) {
    h.start(portTail);
    h.upload(channel);
}

} // namespace

class UploadTest : public QObject {
    Q_OBJECT
  private slots:
    void version2TemperatureAndHumidity() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::TemperatureRh, 300);
        config.channels[0].gaps = {10};
        config.channels[0].events = {{5, sim::EventCode::TempAlarmStart},
                                     {5, sim::EventCode::TempAlarmStart},
                                     {20, sim::EventCode::TestStart}};
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitForStatus("DATA LOADED"));
        QVERIFY(h.idle());
        QVERIFY(h.state().RHZL.checked());
        QVERIFY(h.state().DataLoaded.checked());
        expectReadings(h, 1);
        // The speed switch, one block, the end of the fast session.
        h.logger().waitForCommands(4, 5000);
        QCOMPARE(h.commandBytes(),
                 (QByteArrayList{"?", "B057600T05", "001123009080000000300", "BD00000000"}));
        QCOMPARE(h.engine().readings().TempAlarmStartEvents().size(), size_t(2));
        QCOMPARE(h.engine().readings().TestStartEvents().size(), size_t(1));
        QCOMPARE(h.state().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1 | Channel 1"));
    }

    void version1Temperature() {
        UploadHarness h(Logger(1, sim::ChannelKind::Temperature, 40));
        StartUpload(h, {}, 2);
        QVERIFY(h.waitForStatus("DATA LOADED"));
        QCOMPARE(h.state().LoggerVersion.load(), 1);
        QVERIFY(h.statuses().contains("HEADER LOADED (TEMPERATURE MODEL)...PLEASE WAIT..."));
        QVERIFY(!h.state().RHZL.checked());
        QCOMPARE(h.state().Caption.text(), QByteArray("Zantrel(tm) - Version 5.2.1 | Channel 2"));
        expectReadings(h, 2);
        // Version 1: the channel digit first, the rest after the logger's '+'.
        QCOMPARE(h.logger().received(), QByteArray("?2123009080000000040"));
    }

    void version1HumidityHeaderSurvivesAFullReadAtItsTwentySixthLine() {
        sim::LoggerConfig config = Logger(1, sim::ChannelKind::TemperatureRh, 30);
        UploadHarness probe(config);
        const QByteArray header = probe.logger().headerText();
        qsizetype at = -1;
        for (int lf = 0; lf < 26; ++lf)
            at = header.indexOf('\n', at + 1);
        const int end26 = int(at + 1);
        // A pause 50 bytes before the 26th line feed aligns the reads so that a full
        // 50-byte delivery ends there, with the rest of the header right behind it.
        config.faults.splits = {{sim::ReplyKind::Header, -1, {end26 - 50}, false}};
        config.faults.splitPauseMs = 100;
        QList<int> sizes; // outlives the harness, whose end still writes the slot
        qsizetype before = 0;
        UploadHarness h(config);
        h.start();
        TextSlot& headerSlot = h.state().Memo2;
        headerSlot.subscribe([&] {
            sizes << int(headerSlot.length() - before);
            before = headerSlot.length();
        });
        h.upload(1);
        QVERIFY(h.waitForStatus("DATA LOADED"));
        QVERIFY(h.statuses().contains("RECEIVING HEADER (Line 26) ..PLEASE WAIT..."));
        QCOMPARE(sizes.mid(3, 2), (QList<int>{9, 50}));
        QVERIFY(h.statuses().contains("HEADER LOADED (RH+TEMPERATURE MODEL)...PLEASE WAIT..."));
        QVERIFY(!h.statuses().contains("HEADER LOADED (TEMPERATURE MODEL)...PLEASE WAIT..."));
        QVERIFY(h.state().RHZL.checked());
        expectReadings(h, 1);
    }

    void blocksOfAtMost1500WithExactRequests() {
        QByteArrayList progress; // outlives the harness, whose end still writes the slot
        UploadHarness h(Logger(2, sim::ChannelKind::Temperature, 4001, 15));
        h.start(":19200");
        TextSlot& status = h.state().Edit1;
        status.subscribe([&] {
            if (status.text().startsWith("Reading ")) progress.append(status.text());
        });
        h.upload(1);
        QVERIFY(h.waitForStatus("DATA LOADED"));
        const QDateTime first = h.logger().channel(1).firstTime();
        QCOMPARE(h.blockRequests(),
                 (QByteArrayList{"001" + Field(first) + "001500",
                                 "001" + Field(first.addSecs(1500 * 15 + 1)) + "001500",
                                 "001" + Field(first.addSecs(3000 * 15 + 1)) + "001001"}));
        QCOMPARE(progress, (QByteArrayList{"Reading 0 of 4001", "Reading 1500 of 4001",
                                           "Reading 3000 of 4001"}));
        // The speed part 19200 means no speed switch at all.
        QCOMPARE(h.commandBytes().mid(1), h.blockRequests());
        expectReadings(h, 1);
    }

    void noDriftOverFortyBlocks() {
        UploadHarness h(Logger(2, sim::ChannelKind::Temperature, 60000, 15));
        StartUpload(h, ":19200");
        QVERIFY(h.waitForStatus("DATA LOADED", 120000));
        const QByteArrayList requests = h.blockRequests();
        QCOMPARE(requests.size(), 40);
        const QDateTime first = h.logger().channel(1).firstTime();
        for (int k = 1; k < 40; ++k)
            QCOMPARE(requests[k].mid(3, 12), Field(first.addSecs(k * 1500 * 15 + 1)));
        expectReadings(h, 1);
    }

    void speedPartOfThePortSetting() {
        UploadHarness h(Logger(2, sim::ChannelKind::Temperature, 20));
        StartUpload(h, ":38400");
        QVERIFY(h.waitForStatus("DATA LOADED"));
        QVERIFY(h.statuses().contains("Attempting 38400 baud rate..."));
        QVERIFY(h.logger().waitForCommands(4, 5000));
        QCOMPARE(h.commandBytes()[1], QByteArray("B038400T05"));
        QCOMPARE(h.commandBytes()[3], QByteArray("BD00000000"));
        // The data phase ran at the fast speed, and the port is back at the normal one.
        QCOMPARE(h.logger().commands()[2].lineBaud, 38400);
        QCOMPARE(h.engine().link().baudRate(), 19200);
    }

    void aBadBlockIsRecoveredByARetryAtTheFastRate() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::TemperatureRh, 100);
        config.faults.badChecksum = {0, 1};
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitForStatus("DATA LOADED"));
        QVERIFY(std::any_of(h.statuses().begin(), h.statuses().end(),
                            [](const QByteArray& s) { return s.startsWith("BAD CHECKSUM ("); }));
        QVERIFY(h.statuses().contains("DATA ERROR - RETRY (1) IN PROCESS..."));
        expectReadings(h, 1);
        QVERIFY(h.logger().waitForCommands(5, 5000));
        const QByteArrayList commands = h.commandBytes();
        QCOMPARE(commands.count("B057600T05"), 1);
        QCOMPARE(commands[2], commands[3]);
        QCOMPARE(h.logger().commands()[3].lineBaud, 57600);
    }

    void aBlockThatStaysBadCancelsAfterThreeRetries() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 100);
        config.faults.badChecksum = {0, 100};
        UploadHarness h(config);
        StartUpload(h, ":19200");
        QVERIFY(h.waitForStatus("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT."));
        QVERIFY(h.idle());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(h.statuses().contains("DATA ERROR - RETRY (" + QByteArray::number(n) +
                                          ") IN PROCESS..."));
        QVERIFY(!h.statuses().contains("DATA ERROR - RETRY (4) IN PROCESS..."));
        QCOMPARE(h.blockRequests().size(), 4);
        QVERIFY(h.engine().readings().Temperatures.empty());
        // No later time-out replaces the text the upload ended with.
        const double at = h.clock().now();
        QVERIFY(h.waitFor([&] { return h.clock().now() > at + 40 * kSecond; }));
        QCOMPARE(h.state().Edit1.text(),
                 QByteArray("UPLOAD CANCELLED DUE TO CORRUPT DATA OR SERIAL PORT TIMEOUT."));
    }

    void aPacketWithManyEventsInSmallPieces() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::TemperatureRh, 60);
        for (int i = 0; i < 60; i += 3)
            config.channels[0].events.push_back({i, sim::EventCode::RhAlarmStart});
        std::vector<int> cuts;
        for (int offset = 7; offset < 600; offset += 7)
            cuts.push_back(offset);
        config.faults.splits = {{sim::ReplyKind::Packet, -1, cuts, false}};
        config.faults.splitPauseMs = 2;
        UploadHarness h(config);
        StartUpload(h, ":19200");
        QVERIFY(h.waitForStatus("DATA LOADED"));
        expectReadings(h, 1);
        QCOMPARE(h.engine().readings().RhAlarmStartEvents().size(), size_t(20));
    }

    void abortingAFastSessionEndsItBeforeTheReopen() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 20);
        config.faults.silence = {sim::SilenceStep::BlockRequest, 0, 0, 1};
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitFor(
            [&] { return h.state().FastBaud.checked() && h.logger().commands().size() >= 3; }));
        h.engine().session().AbortUploadClick();
        QCOMPARE(h.state().Edit1.text(), QByteArray("UPLOAD ABORTED BY USER"));
        QVERIFY(h.idle());
        QVERIFY(h.logger().waitForCommands(4, 5000));
        QCOMPARE(h.commandBytes().last(), QByteArray("BD00000000"));
        QCOMPARE(h.engine().link().baudRate(), 19200);
    }

    // The readings received before "Abort Upload" stay, and the status line, the chart's foot
    // and a save of them tell how many of the announced total they are.
    void anAbortedUploadIsMarkedIncomplete() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 2000, 60);
        config.faults.silence = {sim::SilenceStep::BlockRequest, 1, 0, 1};
        UploadHarness h(config);
        StartUpload(h, ":19200");
        const ReadingsStore& store = h.engine().readings();
        QVERIFY(h.waitFor(
            [&] { return h.blockRequests().size() >= 2 && !store.ReadingTimes.empty(); }));
        h.engine().session().AbortUploadClick();
        const std::size_t received = store.ReadingTimes.size();
        QVERIFY(received > 0 && received < 2000);
        const QByteArray mark = "incomplete: " + QByteArray::number(received) + " of 2000 readings";
        QCOMPARE(h.state().Edit1.text(), "UPLOAD ABORTED BY USER - " + mark);
        QVERIFY(h.engine().chart().Foot.contains(mark));

        h.host().savePath = QFile::encodeName(h.dir().file("short.csv"));
        h.engine().writer().SaveChartFile();
        QVERIFY(h.dir().read("short.csv").contains("\r\n~Upload: " + mark + "\r\n"));
        // The file loads back with every reading received; a new chart has no mark.
        h.engine().loader().LoadChartFile(QFile::encodeName(h.dir().file("short.zlx")));
        QCOMPARE(h.state().Edit1.text(), QByteArray("File loaded."));
        QCOMPARE(store.ReadingTimes.size(), received);
        QVERIFY(!h.engine().chart().Foot.join('|').contains("incomplete"));
    }

    void aTimeOutInAFastSessionSendsStop() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 20);
        config.faults.silence = {sim::SilenceStep::BlockRequest, 0, 0, 1};
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitForStatus("SERIAL COMMUNICATION TIMED OUT."));
        QVERIFY(h.logger().waitForCommands(4, 5000));
        QCOMPARE(h.commandBytes().last(), QByteArray("S"));
        QVERIFY(!h.state().FastBaud.checked());
    }

    void aRefusedSpeedSwitchWaitsForTheUser() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 20);
        config.faults.speedAck = 'x';
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitForStatus("Attempting 57600 baud rate..."));
        const double at = h.clock().now();
        QVERIFY(h.waitFor([&] { return h.clock().now() > at + 30 * kSecond; }));
        QCOMPARE(h.state().Edit1.text(), QByteArray("Attempting 57600 baud rate..."));
        QVERIFY(!h.idle());
        h.engine().session().AbortUploadClick();
        QVERIFY(h.idle());
    }

    void aChannelWithNoDataIsCancelled() {
        sim::LoggerConfig config = Logger(2, sim::ChannelKind::Temperature, 20);
        config.channels[0].kind = sim::ChannelKind::NoData;
        UploadHarness h(config);
        StartUpload(h);
        QVERIFY(h.waitForStatus("UPLOAD CANCELLED. Invalid date/time range specified."));
        QVERIFY(h.idle());
        QVERIFY(h.state().Errorindata.checked());
        QVERIFY(h.blockRequests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(UploadTest)
#include "upload_test.moc"
