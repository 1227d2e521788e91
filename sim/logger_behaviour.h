#pragma once

#include "sim/command_parser.h"
#include "sim/logger_config.h"
#include "sim/logger_memory.h"

#include <QByteArray>

#include <vector>

namespace zantrel::sim {

// One delivery: bytes the logger writes in one go, after a pause when they continue a reply
// that a fault split.
struct Segment {
    QByteArray bytes;
    int pauseBeforeMs = 0;
};

// What the logger does about one command.
struct Reply {
    std::vector<Segment> segments;
    bool stopSending = false; // first drop whatever earlier replies still have to send
    int speedAfter = 0;       // once the segments are sent the logger runs at this speed (0: same)
    bool closeAfter = false;  // once the segments are sent the logger vanishes
};

// The logger's answers to commands, with its faults: no input or output of its own, so every
// rule can be followed byte by byte.
class LoggerBehaviour {
  public:
    static constexpr int kNormalBaud = 19200;

    LoggerBehaviour(const LoggerMemory& memory, const Faults& faults);

    void setFaults(const Faults& faults) { faults_ = faults; }
    // Sets command.block for block requests and channel digits.
    Reply respond(Command& command);

  private:
    // How one block's reply is sent, decided once per block request.
    struct Plan {
        bool silent = false;
        int limit = -1; // bytes of the reply sent at most; -1 for all
        bool closeAtLimit = false;
        bool corruptChecksum = false;
    };

    Reply header();
    Reply speedChange(const Command& command);
    Reply channelSelect(Command& command);
    Reply blockRequest(Command& command);
    int blockNumber(const Command& command);
    Plan planFor(int block);
    bool consumeSilence(SilenceStep step, int block = -1);
    // Sends the part of a reply that starts `offset` bytes into it.
    Reply deliver(const QByteArray& wire, int offset, ReplyKind kind, int block,
                  const Plan& plan) const;

    const LoggerMemory& memory_;
    Faults faults_;
    int lastBlock_ = -1;
    int lastChannel_ = 0;
    QByteArray lastStart_;
    Plan pendingPlan_; // version 1: the plan of the block whose channel digit was answered
};

} // namespace zantrel::sim
