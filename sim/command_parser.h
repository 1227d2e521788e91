#pragma once

#include <QByteArray>

#include <vector>

namespace zantrel::sim {

enum class CommandKind {
    HeaderRequest,  // "?"
    ChannelSelect,  // version 1: the channel digit that opens a block request
    BlockRequest,   // channel field, "mmddyyhhnnss", count field
    SpeedChange,    // "B", six digits, "T05"
    EndFastSession, // "BD00000000"
    Stop,           // "S"
    Unknown,        // bytes that make no command, kept as they came
};

// A command the logger received. The parser fills in what the bytes say; the simulator adds
// the line speed and the block number.
struct Command {
    CommandKind kind = CommandKind::Unknown;
    // Exactly as received. A block request holds the whole request, channel field first, also
    // in version 1 where its channel digit was answered before the rest arrived.
    QByteArray bytes;
    int channel = 0;  // ChannelSelect, BlockRequest: 1 or 2
    QByteArray start; // BlockRequest: the twelve digits "mmddyyhhnnss"
    int count = 0;    // BlockRequest
    int baud = 0;     // SpeedChange: the speed asked for
    // The speed the line was set to when the command's first byte was read. A program that
    // reopens the line at another speed right after writing may be quicker than that read.
    int lineBaud = 0;
    int block = -1; // ChannelSelect, BlockRequest: block number within the session
};

// Splits the byte stream a logger receives into commands. A byte that cannot continue the
// command in progress ends it as Unknown and is read again as the start of a new one.
class CommandParser {
  public:
    explicit CommandParser(int version) : version_(version) {}

    std::vector<Command> feed(const QByteArray& bytes);
    // True when no command is half received.
    bool idle() const { return state_ == State::Idle; }

  private:
    enum class State { Idle, Speed, ChannelField, Start, Count };

    void take(char c, std::vector<Command>& out);
    void startCommand(char c, std::vector<Command>& out);
    void continueCommand(char c, std::vector<Command>& out);
    bool accepts(char c) const;
    void finishSpeed(std::vector<Command>& out);
    void finishRequest(std::vector<Command>& out);
    void abandon(std::vector<Command>& out);

    int version_;
    State state_ = State::Idle;
    QByteArray pending_;
    bool selectAnswered_ = false; // version 1: the channel digit was already reported
};

} // namespace zantrel::sim
