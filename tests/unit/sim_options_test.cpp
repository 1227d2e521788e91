// zantrel-sim's command line.

#include "sim/sim_options.h"

#include <QTest>

using namespace zantrel::sim;

namespace {

const QDateTime kNow = wallTime(2010, 3, 10, 14, 7, 30);

std::optional<SimOptions> parse(const QStringList& args, QString* error = nullptr) {
    QString ignored;
    return parseSimOptions(QStringList{"zantrel-sim"} + args, kNow, error ? error : &ignored);
}

} // namespace

class SimOptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void defaultsEndAtNow() {
        const auto options = parse({});
        QVERIFY(options);
        const LoggerConfig& c = options->config;
        QCOMPARE(c.version, 2);
        QCOMPARE(c.channels[0].kind, ChannelKind::TemperatureRh);
        QCOMPARE(c.channels[1].kind, ChannelKind::Temperature);
        QCOMPARE(c.channels[0].readingCount, 4000);
        QCOMPARE(c.channels[0].storagePeriodSeconds, 300);
        // The newest reading is on the 5-minute grid at or before now.
        const QDateTime newest = c.channels[0].firstReading.addSecs(3999 * 300);
        QCOMPARE(newest, wallTime(2010, 3, 10, 14, 5));
        QVERIFY(!c.channels[0].events.empty());
        QVERIFY(!c.paced);
    }

    void channelsReadingsAndFirstTime() {
        const auto options = parse({"--channel1", "none", "--channel2", "rh", "--readings", "10",
                                    "--period", "60", "--first", "2009-12-31 23:00:00", "--gap",
                                    "2:4", "--gap", "7", "--event", "2:3:test-end", "--paced"});
        QVERIFY(options);
        const LoggerConfig& c = options->config;
        QCOMPARE(c.channels[0].kind, ChannelKind::NoData);
        QCOMPARE(c.channels[1].kind, ChannelKind::TemperatureRh);
        QCOMPARE(c.channels[1].firstReading, wallTime(2009, 12, 31, 23));
        QCOMPARE(c.channels[1].readingCount, 10);
        QCOMPARE(c.channels[1].gaps, std::vector<int>{4});
        QCOMPARE(c.channels[0].gaps, std::vector<int>{7});
        QCOMPARE(c.channels[1].events.size(), size_t(1));
        QCOMPARE(c.channels[1].events[0].beforeReading, 3);
        QCOMPARE(c.channels[1].events[0].code, EventCode::TestEnd);
        QVERIFY(c.paced);
    }

    void version1UsesOneModelAndNoEvents() {
        const auto options = parse({"--protocol", "1", "--channel1", "t"});
        QVERIFY(options);
        const LoggerConfig& c = options->config;
        QCOMPARE(c.version, 1);
        QCOMPARE(c.channels[1].kind, ChannelKind::Temperature);
        QVERIFY(c.channels[0].events.empty());
    }

    void faults() {
        const auto options =
            parse({"--bad-checksum", "2:3", "--silence", "packet:1:40", "--silence-times", "2",
                   "--split-packet", "0:5,9", "--split-header", "12", "--split-escape",
                   "--split-pause", "35", "--speed-ack", "x", "--close-after", "1:100"});
        QVERIFY(options);
        const Faults& f = options->config.faults;
        QCOMPARE(f.badChecksum.block, 2);
        QCOMPARE(f.badChecksum.tries, 3);
        QCOMPARE(f.silence.step, SilenceStep::PacketBytes);
        QCOMPARE(f.silence.block, 1);
        QCOMPARE(f.silence.bytes, 40);
        QCOMPARE(f.silence.times, 2);
        QCOMPARE(f.splits.size(), size_t(3));
        QCOMPARE(f.splits[0].reply, ReplyKind::Header);
        QCOMPARE(f.splits[1].block, 0);
        QCOMPARE(f.splits[1].offsets, (std::vector<int>{5, 9}));
        QVERIFY(f.splits[2].afterFirstEscape);
        QCOMPARE(f.splitPauseMs, 35);
        QCOMPARE(*f.speedAck, static_cast<unsigned char>('x'));
        QCOMPARE(f.close.block, 1);
        QCOMPARE(f.close.bytes, 100);

        QCOMPARE(parse({"--silence", "header"})->config.faults.silence.step,
                 SilenceStep::HeaderRequest);
        QCOMPARE(parse({"--silence", "header:30"})->config.faults.silence.bytes, 30);
        QCOMPARE(parse({"--silence", "block:4"})->config.faults.silence.block, 4);
        QCOMPARE(parse({"--silence", "speed"})->config.faults.silence.step,
                 SilenceStep::SpeedCommand);
    }

    void wrongArgumentsAreNamed() {
        const QList<QStringList> wrong = {
            {"--channel1", "x"},
            {"--silence", "later"},
            {"--gap", "3:5"},
            {"--readings", "many"},
            {"stray"},
            {"--speed-ack", "ab"},
            {"--protocol", "1", "--channel1", "none"},
            {"--event", "4:party"},
            {"--first", "yesterday"},
            {"--no-such-option"},
        };
        for (const QStringList& args : wrong) {
            QString error;
            QVERIFY2(!parse(args, &error), qPrintable(args.join(' ')));
            QVERIFY2(!error.isEmpty(), qPrintable(args.join(' ')));
        }
    }

    void help() {
        const auto options = parse({"--help"});
        QVERIFY(options);
        QVERIFY(options->help);
        QVERIFY(options->helpText.contains("--close-after"));
    }
};

QTEST_GUILESS_MAIN(SimOptionsTest)
#include "sim_options_test.moc"
