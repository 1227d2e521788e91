#pragma once

#include "cli_result.h"
#include "sim/logger_simulator.h"

#include <algorithm>
#include <memory>

namespace zantrel {

// The tool run in this process on virtual time against a simulated logger over a
// pseudo-terminal, one settings folder for every run. The logger can be replaced by one that
// has recorded more.
class CliLoggerRun {
  public:
    explicit CliLoggerRun(const sim::LoggerConfig& config) { replace(config); }
    ~CliLoggerRun() { logger_->stop(); }
    CliLoggerRun(const CliLoggerRun&) = delete;
    CliLoggerRun& operator=(const CliLoggerRun&) = delete;

    // The logger now holds what config describes; the clock moves on to a minute after its
    // newest reading unless it is later already.
    void replace(const sim::LoggerConfig& config) {
        if (logger_) logger_->stop();
        logger_ = std::make_unique<sim::LoggerSimulator>(config);
        clock_.setRealTimePolls(config.paced);
        QString error;
        if (!logger_->start(&error)) qFatal("simulator: %s", qPrintable(error));
        const auto& c = config.channels[0];
        const double after = sim::dayCount(c.firstReading) +
                             (c.readingCount * c.storagePeriodSeconds + 60) / 86400.0;
        clock_.setNow(std::max(clock_.now(), after));
    }

    // Runs the tool; "$PORT" in an argument stands for the logger's device.
    int run(QStringList arguments, InterruptRequest* interrupt = nullptr) {
        for (QString& a : arguments)
            a.replace("$PORT", logger_->devicePath());
        last_ = RunCliIn(dir_, arguments, &clock_, interrupt);
        return last_.status;
    }

    const CliResult& last() const { return last_; }
    QByteArrayList errLines() const { return last_.errLines(); }
    // Bytes of every command the logger received.
    QByteArrayList commands() const {
        QByteArrayList bytes;
        for (const auto& c : logger_->commands())
            bytes.append(c.bytes);
        return bytes;
    }
    WorkDir& dir() { return dir_; }
    TestClock& clock() { return clock_; }
    sim::LoggerSimulator& logger() { return *logger_; }

  private:
    WorkDir dir_;
    TestClock clock_;
    std::unique_ptr<sim::LoggerSimulator> logger_;
    CliResult last_;
};

} // namespace zantrel
