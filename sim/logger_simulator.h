#pragma once

#include "sim/command_parser.h"
#include "sim/logger_behaviour.h"
#include "sim/logger_config.h"
#include "sim/logger_memory.h"
#include "sim/pty_master.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace zantrel::sim {

class OutputQueue;

// A data logger on a pseudo-terminal. start() and stop() are called from one thread (a Qt
// program's main thread, for example); the logger serves on a thread of its own. Everything it
// received and every command it understood are recorded; all accessors are thread-safe.
class LoggerSimulator {
  public:
    explicit LoggerSimulator(const LoggerConfig& config);
    ~LoggerSimulator();
    LoggerSimulator(const LoggerSimulator&) = delete;
    LoggerSimulator& operator=(const LoggerSimulator&) = delete;

    // Opens the pseudo-terminal and starts serving. False, with the reason, when the
    // configuration has a problem, the pseudo-terminal cannot be made or it was started before.
    bool start(QString* error = nullptr);
    // Stops serving and closes the pseudo-terminal. Safe to call more than once.
    void stop();
    bool isRunning() const { return thread_.joinable(); }

    // The device a program opens, e.g. /dev/pts/3; empty before start().
    QString devicePath() const { return devicePath_; }
    const LoggerConfig& config() const { return config_; }
    // What the logger stores and the header it sends.
    const LoggerMemory& memory() const { return memory_; }
    const QByteArray& headerText() const { return memory_.header(); }
    // number is 1 or 2.
    const StoredChannel& channel(int number) const { return memory_.channel(number); }

    // Replaces the faults, with fresh counters, for the commands still to come.
    void setFaults(const Faults& faults);

    // The speed the logger runs at, in baud.
    int speed() const { return speed_.load(); }
    // True once the close fault has closed the pseudo-terminal.
    bool vanished() const { return vanished_.load(); }

    QByteArray received() const;
    // Everything written to the line, escapes included.
    QByteArray sent() const;
    // How long what was sent takes on a real line: 10 bits a byte at the speed the logger
    // was at when it sent them (paced or not).
    double sentWireSeconds() const;
    std::vector<Command> commands() const;
    // Waits (really) until at least `count` commands were received; false on time-out.
    bool waitForCommands(int count, int timeoutMs) const;
    void clearRecords();

  private:
    void run();
    // Takes every byte the program has sent.
    void readInput(OutputQueue& out);
    void handle(const QByteArray& bytes, OutputQueue& out);
    void vanish();

    const LoggerConfig config_;
    const LoggerMemory memory_;
    CommandParser parser_;     // serving thread only
    int commandStartBaud_ = 0; // serving thread only: line speed at the current command's start
    PtyMaster master_;
    QString devicePath_;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> speed_{LoggerBehaviour::kNormalBaud};
    std::atomic<bool> vanished_{false};
    bool started_ = false;

    mutable std::mutex mutex_; // guards what follows
    mutable std::condition_variable changed_;
    LoggerBehaviour behaviour_;
    QByteArray received_;
    QByteArray sent_;
    double sentWireSeconds_ = 0;
    std::vector<Command> commands_;
};

} // namespace zantrel::sim
