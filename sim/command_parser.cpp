#include "sim/command_parser.h"

namespace zantrel::sim {

namespace {

constexpr int kSpeedCommandLength = 10;
constexpr int kDateDigits = 12;
constexpr int kCountDigits = 6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

Command simple(CommandKind kind, QByteArray bytes) {
    Command c;
    c.kind = kind;
    c.bytes = std::move(bytes);
    return c;
}

} // namespace

std::vector<Command> CommandParser::feed(const QByteArray& bytes) {
    std::vector<Command> out;
    for (char c : bytes)
        take(c, out);
    return out;
}

void CommandParser::take(char c, std::vector<Command>& out) {
    if (state_ == State::Idle) {
        startCommand(c, out);
        return;
    }
    if (!accepts(c)) {
        abandon(out);
        startCommand(c, out);
        return;
    }
    continueCommand(c, out);
}

void CommandParser::startCommand(char c, std::vector<Command>& out) {
    pending_ = QByteArray(1, c);
    selectAnswered_ = false;
    if (c == '?') {
        out.push_back(simple(CommandKind::HeaderRequest, pending_));
    } else if (c == 'S') {
        out.push_back(simple(CommandKind::Stop, pending_));
    } else if (c == 'B') {
        state_ = State::Speed;
    } else if (version_ == 2 && c == '0') {
        state_ = State::ChannelField;
    } else if (version_ == 1 && (c == '1' || c == '2')) {
        Command select = simple(CommandKind::ChannelSelect, pending_);
        select.channel = c - '0';
        out.push_back(select);
        selectAnswered_ = true;
        state_ = State::Start;
    } else {
        out.push_back(simple(CommandKind::Unknown, pending_));
    }
}

bool CommandParser::accepts(char c) const {
    switch (state_) {
    case State::Speed:
        return isDigit(c) || c == 'D' || c == 'T';
    case State::ChannelField:
        return pending_.size() == 1 ? c == '0' : c == '1' || c == '2';
    default:
        return isDigit(c);
    }
}

void CommandParser::continueCommand(char c, std::vector<Command>& out) {
    pending_ += c;
    switch (state_) {
    case State::Speed:
        if (pending_.size() == kSpeedCommandLength) finishSpeed(out);
        break;
    case State::ChannelField:
        if (pending_.size() == 3) state_ = State::Start;
        break;
    case State::Start:
        if (pending_.size() == (version_ == 1 ? 1 : 3) + kDateDigits) state_ = State::Count;
        break;
    case State::Count:
        finishRequest(out);
        break;
    case State::Idle:
        break;
    }
}

void CommandParser::finishSpeed(std::vector<Command>& out) {
    state_ = State::Idle;
    if (pending_ == "BD00000000") {
        out.push_back(simple(CommandKind::EndFastSession, pending_));
        return;
    }
    const QByteArray digits = pending_.mid(1, 6);
    bool allDigits = true;
    for (char c : digits)
        allDigits = allDigits && isDigit(c);
    if (!allDigits || pending_.mid(7) != "T05") {
        out.push_back(simple(CommandKind::Unknown, pending_));
        return;
    }
    Command speed = simple(CommandKind::SpeedChange, pending_);
    speed.baud = digits.toInt();
    out.push_back(speed);
}

void CommandParser::finishRequest(std::vector<Command>& out) {
    // A count field is six digits, or seven zeros for a count of 0.
    const int fieldLength = version_ == 1 ? 1 : 3;
    const QByteArray count = pending_.mid(fieldLength + kDateDigits);
    const bool allZeros = count.count('0') == count.size();
    if (count.size() < kCountDigits || (count.size() == kCountDigits && allZeros)) return;
    Command request = simple(CommandKind::BlockRequest, pending_);
    request.channel = pending_.at(fieldLength - 1) - '0';
    request.start = pending_.mid(fieldLength, kDateDigits);
    request.count = count.toInt();
    out.push_back(request);
    state_ = State::Idle;
}

void CommandParser::abandon(std::vector<Command>& out) {
    const QByteArray unused = selectAnswered_ ? pending_.mid(1) : pending_;
    if (!unused.isEmpty()) out.push_back(simple(CommandKind::Unknown, unused));
    state_ = State::Idle;
}

} // namespace zantrel::sim
