#include "sim/logger_behaviour.h"

#include "sim/packet_builder.h"

#include <algorithm>
#include <set>

namespace zantrel::sim {

namespace {

constexpr char kAck = '+';
constexpr char kSpeedAck = 'b';

} // namespace

LoggerBehaviour::LoggerBehaviour(const LoggerMemory& memory, const Faults& faults)
    : memory_(memory), faults_(faults) {}

Reply LoggerBehaviour::respond(Command& command) {
    switch (command.kind) {
    case CommandKind::HeaderRequest:
        lastBlock_ = -1;
        lastChannel_ = 0;
        lastStart_.clear();
        return header();
    case CommandKind::Stop: {
        Reply r;
        r.stopSending = true;
        r.speedAfter = kNormalBaud;
        return r;
    }
    case CommandKind::EndFastSession: {
        Reply r;
        r.speedAfter = kNormalBaud;
        return r;
    }
    case CommandKind::SpeedChange:
        return speedChange(command);
    case CommandKind::ChannelSelect:
        return channelSelect(command);
    case CommandKind::BlockRequest:
        return blockRequest(command);
    case CommandKind::Unknown:
        break;
    }
    return {};
}

Reply LoggerBehaviour::header() {
    if (consumeSilence(SilenceStep::HeaderRequest)) return {};
    Plan plan;
    if (consumeSilence(SilenceStep::HeaderBytes)) plan.limit = faults_.silence.bytes;
    return deliver(memory_.header(), 0, ReplyKind::Header, -1, plan);
}

Reply LoggerBehaviour::speedChange(const Command& command) {
    if (memory_.version() != 2 || consumeSilence(SilenceStep::SpeedCommand)) return {};
    const char ack = static_cast<char>(faults_.speedAck.value_or(kSpeedAck));
    Reply r;
    r.segments.push_back({escaped(QByteArray(1, ack)), 0});
    r.speedAfter = command.baud;
    return r;
}

Reply LoggerBehaviour::channelSelect(Command& command) {
    // Version 1 never repeats a block by itself, so every channel digit opens the next one.
    command.block = ++lastBlock_;
    lastChannel_ = command.channel;
    pendingPlan_ = planFor(command.block);
    if (pendingPlan_.silent) return {};
    const QByteArray answer = QByteArray(1, char('0' + command.channel)) + kAck;
    return deliver(answer, 0, ReplyKind::Packet, command.block, pendingPlan_);
}

Reply LoggerBehaviour::blockRequest(Command& command) {
    const QDateTime start = memory_.requestTime(command.start);
    const StoredChannel& channel = memory_.channel(command.channel);
    if (memory_.version() == 1) {
        command.block = lastBlock_;
        if (pendingPlan_.silent || !start.isValid()) return {};
        const ReadingSpan span = channel.span(start, command.count);
        const QByteArray packet =
            version1Packet(channel, span, char('0' + command.channel), command.bytes.mid(1),
                           memory_.fieldWidth(command.channel));
        // The first two bytes answered the channel digit.
        return deliver(packet.mid(2), 2, ReplyKind::Packet, command.block, pendingPlan_);
    }
    if (!start.isValid()) return {};
    command.block = blockNumber(command);
    const Plan plan = planFor(command.block);
    if (plan.silent) return {};
    const ReadingSpan span = channel.span(start, command.count);
    return deliver(escaped(version2Packet(channel, span, plan.corruptChecksum)), 0,
                   ReplyKind::Packet, command.block, plan);
}

int LoggerBehaviour::blockNumber(const Command& command) {
    if (lastBlock_ >= 0 && command.channel == lastChannel_ && command.start == lastStart_)
        return lastBlock_;
    lastChannel_ = command.channel;
    lastStart_ = command.start;
    return ++lastBlock_;
}

LoggerBehaviour::Plan LoggerBehaviour::planFor(int block) {
    Plan plan;
    if (consumeSilence(SilenceStep::BlockRequest, block)) {
        plan.silent = true;
        return plan;
    }
    if (consumeSilence(SilenceStep::PacketBytes, block)) plan.limit = faults_.silence.bytes;
    if (faults_.close.block == block) {
        plan.limit = faults_.close.bytes;
        plan.closeAtLimit = true;
        faults_.close.block = -1;
    }
    if (faults_.badChecksum.block == block && faults_.badChecksum.tries > 0) {
        --faults_.badChecksum.tries;
        plan.corruptChecksum = true;
    }
    return plan;
}

bool LoggerBehaviour::consumeSilence(SilenceStep step, int block) {
    SilenceFault& s = faults_.silence;
    if (s.step != step || s.times <= 0 || (block >= 0 && s.block != block)) return false;
    --s.times;
    return true;
}

Reply LoggerBehaviour::deliver(const QByteArray& wire, int offset, ReplyKind kind, int block,
                               const Plan& plan) const {
    const int size = int(wire.size());
    const int allowed = plan.limit < 0 ? size : std::clamp(plan.limit - offset, 0, size);
    std::set<int> cuts;
    for (const SplitFault& split : faults_.splits) {
        if (split.reply != kind ||
            (kind == ReplyKind::Packet && split.block >= 0 && split.block != block))
            continue;
        for (int at : split.offsets)
            cuts.insert(at - offset);
        const int escape = int(wire.indexOf(kEscape));
        if (split.afterFirstEscape && escape >= 0) cuts.insert(escape + 1);
    }
    Reply r;
    int from = 0;
    for (int cut : cuts) {
        if (cut <= from || cut >= allowed) continue;
        r.segments.push_back({wire.mid(from, cut - from), from == 0 ? 0 : faults_.splitPauseMs});
        from = cut;
    }
    if (from < allowed)
        r.segments.push_back(
            {wire.mid(from, allowed - from), from == 0 ? 0 : faults_.splitPauseMs});
    // A close exactly at the end of one part belongs to that part, not to the next.
    r.closeAfter =
        plan.closeAtLimit && plan.limit <= offset + size && (plan.limit > offset || offset == 0);
    return r;
}

} // namespace zantrel::sim
