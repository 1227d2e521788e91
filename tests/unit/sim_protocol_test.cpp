// The simulated logger's side of the exchange: commands as it reads them, and its answers
// with and without faults.

#include "sim/command_parser.h"
#include "sim/logger_behaviour.h"
#include "sim/logger_memory.h"
#include "sim_fixtures.h"

#include <QTest>

#include <utility>

using namespace zantrel::sim;

namespace {

QByteArray joined(const Reply& reply) {
    QByteArray out;
    for (const Segment& s : reply.segments)
        out += s.bytes;
    return out;
}

Command parsedOne(int version, const QByteArray& bytes) {
    CommandParser parser(version);
    const auto commands = parser.feed(bytes);
    return commands.size() == 1 ? commands[0] : Command{};
}

Command request(CommandParser& parser, const QByteArray& bytes) {
    const auto commands = parser.feed(bytes);
    return commands.empty() ? Command{} : commands.back();
}

} // namespace

class SimProtocolTest : public QObject {
    Q_OBJECT

  private slots:
    void shortCommands() {
        QCOMPARE(parsedOne(2, "?").kind, CommandKind::HeaderRequest);
        QCOMPARE(parsedOne(2, "S").kind, CommandKind::Stop);
        const Command stray = parsedOne(2, "x");
        QCOMPARE(stray.kind, CommandKind::Unknown);
        QCOMPARE(stray.bytes, QByteArray("x"));
        const Command fast = parsedOne(2, "B057600T05");
        QCOMPARE(fast.kind, CommandKind::SpeedChange);
        QCOMPARE(fast.baud, 57600);
        QCOMPARE(parsedOne(2, "BD00000000").kind, CommandKind::EndFastSession);
        QCOMPARE(parsedOne(2, "B057600X05").kind, CommandKind::Unknown);
        // A version-1 logger reads "0" as nothing of its own.
        QCOMPARE(parsedOne(1, "0").kind, CommandKind::Unknown);
    }

    void version2BlockRequest() {
        const Command c = parsedOne(2, "002031009140000001500");
        QCOMPARE(c.kind, CommandKind::BlockRequest);
        QCOMPARE(c.bytes, QByteArray("002031009140000001500"));
        QCOMPARE(c.channel, 2);
        QCOMPARE(c.start, QByteArray("031009140000"));
        QCOMPARE(c.count, 1500);
    }

    void aZeroCountHasSevenDigits() {
        CommandParser parser(2);
        QVERIFY(parser.feed("001031009140000000000").empty());
        const auto done = parser.feed("0?");
        QCOMPARE(done.size(), size_t(2));
        QCOMPARE(done[0].kind, CommandKind::BlockRequest);
        QCOMPARE(done[0].count, 0);
        QCOMPARE(done[1].kind, CommandKind::HeaderRequest);
    }

    void aBrokenCommandGivesWayToTheNextOne() {
        CommandParser parser(2);
        const auto commands = parser.feed("00103100?B05");
        QCOMPARE(commands.size(), size_t(2));
        QCOMPARE(commands[0].kind, CommandKind::Unknown);
        QCOMPARE(commands[0].bytes, QByteArray("00103100"));
        QCOMPARE(commands[1].kind, CommandKind::HeaderRequest);
        // "B05" waits for the rest of a speed command.
        QCOMPARE(parser.feed("7600T05").at(0).baud, 57600);
    }

    void version1RequestComesInTwoParts() {
        CommandParser parser(1);
        const auto select = parser.feed("2");
        QCOMPARE(select.size(), size_t(1));
        QCOMPARE(select[0].kind, CommandKind::ChannelSelect);
        QCOMPARE(select[0].channel, 2);
        QByteArray rest = "031009140000001500";
        std::vector<Command> done;
        for (char c : rest)
            done = parser.feed(QByteArray(1, c)); // one byte at a time
        QCOMPARE(done.size(), size_t(1));
        QCOMPARE(done[0].kind, CommandKind::BlockRequest);
        QCOMPARE(done[0].bytes, "2" + rest);
        QCOMPARE(done[0].channel, 2);
        QCOMPARE(done[0].count, 1500);
    }

    void blocksAreNumberedAndRetriesKeepTheirNumber() {
        const LoggerMemory memory(fourThousand());
        Faults faults;
        faults.badChecksum = {1, 2};
        LoggerBehaviour logger(memory, faults);
        CommandParser parser(2);
        // The block number and the checksum byte of the answer to a request.
        auto send = [&](const QByteArray& bytes) {
            Command c = request(parser, bytes);
            const QByteArray wire = joined(logger.respond(c));
            return std::pair{c.block, static_cast<unsigned char>(wire.at(wire.size() - 5))};
        };
        const QByteArray second = "001010110061501001500"; // 06:15:01, reading 1500 on
        QCOMPARE(send("001010110000000001500").first, 0);
        const auto bad1 = send(second);
        const auto bad2 = send(second);
        const auto good = send(second);
        QCOMPARE(bad1, std::pair(1, static_cast<unsigned char>(good.second + 1)));
        QCOMPARE(bad2, bad1);
        QCOMPARE(good.first, 1);
        // A new header request starts a new session.
        Command header = parsedOne(2, "?");
        logger.respond(header);
        QCOMPARE(send(second).first, 0);
    }

    void silenceAtEachStep() {
        const LoggerMemory memory(fourThousand());
        Faults faults;
        faults.silence = {SilenceStep::HeaderRequest, 0, 0, 1};
        LoggerBehaviour logger(memory, faults);
        Command header = parsedOne(2, "?");
        QVERIFY(logger.respond(header).segments.empty());
        QCOMPARE(joined(logger.respond(header)), memory.header()); // only once

        faults.silence = {SilenceStep::HeaderBytes, 0, 10, 1};
        logger.setFaults(faults);
        QCOMPARE(joined(logger.respond(header)), memory.header().left(10));

        faults.silence = {SilenceStep::SpeedCommand, 0, 0, 1};
        logger.setFaults(faults);
        Command speed = parsedOne(2, "B057600T05");
        QVERIFY(logger.respond(speed).segments.empty());

        faults.silence = {SilenceStep::PacketBytes, 0, 1, 1};
        logger.setFaults(faults);
        Command block = parsedOne(2, "001010110000000000004");
        QCOMPARE(joined(logger.respond(block)), QByteArray("+"));

        faults.silence = {SilenceStep::BlockRequest, 1, 0, 1};
        logger.setFaults(faults);
        logger.respond(header);
        QVERIFY(!logger.respond(block).segments.empty()); // block 0 answers
        Command next = parsedOne(2, "001010110010000000004");
        QVERIFY(logger.respond(next).segments.empty());
    }

    void speedAcknowledgement() {
        const LoggerMemory memory(fourThousand());
        Faults faults;
        LoggerBehaviour logger(memory, faults);
        Command speed = parsedOne(2, "B057600T05");
        Reply r = logger.respond(speed);
        QCOMPARE(joined(r), QByteArray("b"));
        QCOMPARE(r.speedAfter, 57600);
        faults.speedAck = '\\';
        logger.setFaults(faults);
        QCOMPARE(joined(logger.respond(speed)), QByteArray("\\\\"));
        Command end = parsedOne(2, "BD00000000");
        r = logger.respond(end);
        QVERIFY(r.segments.empty());
        QCOMPARE(r.speedAfter, LoggerBehaviour::kNormalBaud);
        Command stop = parsedOne(2, "S");
        QVERIFY(logger.respond(stop).stopSending);
    }

    void splitsCutWhereAsked() {
        const LoggerMemory memory(fourThousand());
        Faults faults;
        faults.splitPauseMs = 7;
        faults.splits = {{ReplyKind::Packet, 0, {3, 1, 500}, true}};
        LoggerBehaviour logger(memory, faults);
        Command block = parsedOne(2, "001010110000000000004");
        const Reply r = logger.respond(block);
        // '+' 4 records of 2 bytes, the 4th record 0F 5C doubled: the escape is at offset 8.
        QCOMPARE(r.segments.size(), size_t(4));
        QCOMPARE(r.segments[0].bytes.size(), 1);
        QCOMPARE(r.segments[0].pauseBeforeMs, 0);
        QCOMPARE(r.segments[1].bytes.size(), 2);
        QCOMPARE(r.segments[1].pauseBeforeMs, 7);
        QVERIFY(r.segments[2].bytes.endsWith('\\'));
        QCOMPARE(r.segments[3].bytes.at(0), '\\');

        faults.splits = {{ReplyKind::Header, -1, {5}, false}};
        logger.setFaults(faults);
        Command header = parsedOne(2, "?");
        const Reply h = logger.respond(header);
        QCOMPARE(h.segments.size(), size_t(2));
        QCOMPARE(h.segments[0].bytes, QByteArray("001\r\n"));
    }

    void version1Exchange() {
        const LoggerMemory memory(fourThousand(1));
        Faults faults;
        faults.splits = {{ReplyKind::Packet, -1, {1, 5}, false}};
        LoggerBehaviour logger(memory, faults);
        CommandParser parser(1);
        Command select = request(parser, "1");
        const Reply answer = logger.respond(select);
        QCOMPARE(joined(answer), QByteArray("1+"));
        QCOMPARE(answer.segments.size(), size_t(2)); // cut after the first byte
        Command rest = request(parser, "010110000000000004");
        const Reply packet = logger.respond(rest);
        QCOMPARE(packet.segments.size(), size_t(2)); // offset 5 is 3 bytes into this part
        QCOMPARE(packet.segments[0].bytes, QByteArray("010"));
        QCOMPARE(packet.segments[0].pauseBeforeMs, 0);
        const QByteArray text = joined(packet);
        QVERIFY(text.startsWith("010110000000000004"));
        QVERIFY(text.endsWith("000000\r\n"));
        QCOMPARE(text.size(), 18 + 4 * 4 + 8);
        QCOMPARE(rest.block, 0);
    }
};

QTEST_GUILESS_MAIN(SimProtocolTest)
#include "sim_protocol_test.moc"
