#include "sim/sim_options.h"

#include "sim/demo_config.h"

#include <QCommandLineParser>

#include <map>

namespace zantrel::sim {

namespace {

struct Failure {
    QString message;
};

const std::map<QString, EventCode> kEventNames = {
    {"temp-alarm-start", EventCode::TempAlarmStart},
    {"rh-alarm-start", EventCode::RhAlarmStart},
    {"temp-alarm-end", EventCode::TempAlarmEnd},
    {"rh-alarm-end", EventCode::RhAlarmEnd},
    {"test-start", EventCode::TestStart},
    {"test-end", EventCode::TestEnd},
    {"new-sensor", EventCode::NewSensor},
};

const std::map<QString, ChannelKind> kKinds = {{"t", ChannelKind::Temperature},
                                               {"rh", ChannelKind::TemperatureRh},
                                               {"none", ChannelKind::NoData}};

int number(const QString& text, const QString& option) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) throw Failure{QString("--%1: \"%2\" is not a number").arg(option, text)};
    return value;
}

// "a:b:c" into exactly `count` numbers; with `optionalFirst`, "b:c" gives a = 1.
std::vector<int> numbers(const QString& text, const QString& option, int count,
                         bool optionalFirst = false) {
    QStringList parts = text.split(':');
    if (optionalFirst && parts.size() == count - 1) parts.prepend("1");
    if (parts.size() != count)
        throw Failure{QString("--%1: \"%2\" has the wrong form").arg(option, text)};
    std::vector<int> out;
    for (const QString& p : parts)
        out.push_back(number(p, option));
    return out;
}

std::vector<int> offsetList(const QString& text, const QString& option) {
    std::vector<int> out;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts))
        out.push_back(number(part, option));
    return out;
}

ChannelConfig& channelNumbered(LoggerConfig& config, int number, const QString& option) {
    if (number != 1 && number != 2)
        throw Failure{QString("--%1: channel must be 1 or 2").arg(option)};
    return config.channels[number - 1];
}

ChannelKind kindNamed(const QString& text, const QString& option) {
    const auto found = kKinds.find(text.toLower());
    if (found == kKinds.end()) throw Failure{QString("--%1: use t, rh or none").arg(option)};
    return found->second;
}

SilenceFault silenceFrom(const QString& text) {
    const QStringList parts = text.split(':');
    SilenceFault f;
    const QString step = parts.value(0);
    auto arg = [&](int i) { return number(parts.value(i), "silence"); };
    if (step == "header" && parts.size() == 1) {
        f.step = SilenceStep::HeaderRequest;
    } else if (step == "header" && parts.size() == 2) {
        f.step = SilenceStep::HeaderBytes;
        f.bytes = arg(1);
    } else if (step == "speed" && parts.size() == 1) {
        f.step = SilenceStep::SpeedCommand;
    } else if (step == "block" && parts.size() == 2) {
        f.step = SilenceStep::BlockRequest;
        f.block = arg(1);
    } else if (step == "packet" && parts.size() == 3) {
        f.step = SilenceStep::PacketBytes;
        f.block = arg(1);
        f.bytes = arg(2);
    } else {
        throw Failure{QString("--silence: \"%1\" is not a step").arg(text)};
    }
    return f;
}

void addOptions(QCommandLineParser& p) {
    p.setApplicationDescription(
        "Plays a ZL data logger on a pseudo-terminal. Prints the device to open on its first "
        "line, then serves until stopped (Ctrl+C).\nBlocks are numbered from 0 within each "
        "session (each \"?\"); byte offsets count from the '+' (version 2) or the first byte of "
        "the 20-byte lead-in (version 1), escapes included.");
    p.addHelpOption();
    p.addVersionOption();
    p.addOptions({
        {"protocol", "Protocol version, 1 or 2 (default 2).", "version", "2"},
        {"channel1",
         "Channel 1 measures t, rh (temperature and humidity) or none (\"No data\"); "
         "default rh. Version 1: the model of both channels.",
         "kind", "rh"},
        {"channel2", "Channel 2: t, rh or none; default t.", "kind", "t"},
        {"readings", "Readings stored per channel (default 4000).", "n", "4000"},
        {"period", "Storage period in seconds (default 300).", "seconds", "300"},
        {"first",
         "First reading, \"yyyy-mm-dd hh:mm:ss\"; by default the newest reading is "
         "now.",
         "time"},
        {"seed", "Seed of the generated readings.", "n"},
        {"gap", "Store a gap at [channel:]index; repeatable. Replaces the sample gaps.", "where"},
        {"event",
         "Store an event before [channel:]index, as index:kind; kinds: temp-alarm-start, "
         "rh-alarm-start, temp-alarm-end, rh-alarm-end, test-start, test-end, "
         "new-sensor. Repeatable; replaces the sample events.",
         "where"},
        {"paced",
         "Send at the pace of the line, 10 bits a byte at the current speed (19200 baud, or "
         "the fast rate after a speed change), instead of at once."},
        {"bad-checksum", "Send a wrong checksum for block b on its first t requests.", "b:t"},
        {"silence",
         "Fall silent at one step: header (no header), header:n (after n header "
         "bytes), speed (no speed acknowledgement), block:b (block b not "
         "acknowledged), packet:b:n (after n bytes of block b).",
         "step"},
        {"silence-times", "How often the silence happens (default 1).", "n", "1"},
        {"split-header", "End header deliveries after these byte counts, e.g. 5,60.", "offsets"},
        {"split-packet",
         "End packet deliveries after these byte counts, [block:]offsets; "
         "every block when no block is given.",
         "where"},
        {"split-escape", "End a delivery right after the first escape backslash of each packet."},
        {"split-pause", "Pause between split deliveries in ms (default 20).", "ms", "20"},
        {"speed-ack", "Acknowledge the speed command with this character instead of b.", "c"},
        {"close-after", "Vanish (close the pseudo-terminal) after n bytes of block b.", "b:n"},
        {"verbose", "Report every command received on standard error."},
    });
}

void applyChannels(const QCommandLineParser& p, LoggerConfig& c) {
    c.channels[0].kind = kindNamed(p.value("channel1"), "channel1");
    c.channels[1].kind = kindNamed(p.value("channel2"), "channel2");
    if (c.version == 1) {
        c.channels[1].kind = c.channels[0].kind;
        for (ChannelConfig& ch : c.channels)
            ch.events.clear();
    }
    if (p.isSet("seed"))
        for (int i = 0; i < 2; ++i)
            c.channels[i].seed = unsigned(number(p.value("seed"), "seed") + i);
    if (p.isSet("gap")) {
        for (ChannelConfig& ch : c.channels)
            ch.gaps.clear();
        for (const QString& g : p.values("gap")) {
            const auto v = numbers(g, "gap", 2, true);
            channelNumbered(c, v[0], "gap").gaps.push_back(v[1]);
        }
    }
    if (p.isSet("event")) {
        for (ChannelConfig& ch : c.channels)
            ch.events.clear();
        for (const QString& e : p.values("event")) {
            QStringList parts = e.split(':');
            const QString kind = parts.takeLast();
            const auto code = kEventNames.find(kind);
            if (code == kEventNames.end())
                throw Failure{QString("--event: unknown kind \"%1\"").arg(kind)};
            const auto v = numbers(parts.join(':'), "event", 2, true);
            channelNumbered(c, v[0], "event").events.push_back({v[1], code->second});
        }
    }
}

void applyFaults(const QCommandLineParser& p, Faults& f) {
    if (p.isSet("bad-checksum")) {
        const auto v = numbers(p.value("bad-checksum"), "bad-checksum", 2);
        f.badChecksum = {v[0], v[1]};
    }
    if (p.isSet("silence")) {
        f.silence = silenceFrom(p.value("silence"));
        f.silence.times = number(p.value("silence-times"), "silence-times");
    }
    if (p.isSet("split-header"))
        f.splits.push_back(
            {ReplyKind::Header, -1, offsetList(p.value("split-header"), "split-header"), false});
    if (p.isSet("split-packet")) {
        const QStringList parts = p.value("split-packet").split(':');
        if (parts.size() > 2) throw Failure{"--split-packet: use [block:]offsets"};
        const int block = parts.size() == 2 ? number(parts[0], "split-packet") : -1;
        f.splits.push_back(
            {ReplyKind::Packet, block, offsetList(parts.last(), "split-packet"), false});
    }
    if (p.isSet("split-escape")) f.splits.push_back({ReplyKind::Packet, -1, {}, true});
    f.splitPauseMs = number(p.value("split-pause"), "split-pause");
    if (p.isSet("speed-ack")) {
        const QByteArray ack = p.value("speed-ack").toLatin1();
        if (ack.size() != 1) throw Failure{"--speed-ack: give one character"};
        f.speedAck = static_cast<unsigned char>(ack[0]);
    }
    if (p.isSet("close-after")) {
        const auto v = numbers(p.value("close-after"), "close-after", 2);
        f.close = {v[0], v[1]};
    }
}

SimOptions fromParser(const QCommandLineParser& p, const QDateTime& now) {
    SimOptions options;
    options.verbose = p.isSet("verbose");
    const int readings = number(p.value("readings"), "readings");
    const int period = number(p.value("period"), "period");
    QDateTime newest = now;
    if (p.isSet("first")) {
        const QDateTime first = QDateTime::fromString(p.value("first"), "yyyy-MM-dd hh:mm:ss");
        if (!first.isValid()) throw Failure{"--first: use \"yyyy-mm-dd hh:mm:ss\""};
        newest = first.addSecs(qint64(std::max(readings - 1, 0)) * period);
    }
    LoggerConfig& c = options.config;
    c = demoLoggerConfig(newest, readings, period);
    for (ChannelConfig& ch : c.channels)
        ch.storagePeriodSeconds = period; // even 0
    c.version = number(p.value("protocol"), "protocol");
    c.paced = p.isSet("paced");
    applyChannels(p, c);
    applyFaults(p, c.faults);
    const QString problem = configProblem(c);
    if (!problem.isEmpty()) throw Failure{problem};
    return options;
}

} // namespace

std::optional<SimOptions> parseSimOptions(const QStringList& arguments, const QDateTime& now,
                                          QString* error) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        if (error) *error = parser.errorText();
        return std::nullopt;
    }
    // addHelpOption() also brings --help-all, which asks for the same help here.
    if (parser.isSet("help") || parser.isSet("help-all")) {
        SimOptions options;
        options.help = true;
        options.helpText = parser.helpText();
        return options;
    }
    if (parser.isSet("version")) {
        SimOptions options;
        options.version = true;
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        if (error) *error = "unexpected argument: " + parser.positionalArguments().first();
        return std::nullopt;
    }
    try {
        return fromParser(parser, now);
    } catch (const Failure& failure) {
        if (error) *error = failure.message;
        return std::nullopt;
    }
}

} // namespace zantrel::sim
