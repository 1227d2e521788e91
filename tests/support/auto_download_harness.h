#pragma once

#include "core/control.h"
#include "logger_harness.h"

#include <vector>

namespace zantrel {

// The logger harness with the download schedule; its logger can be replaced by one holding
// more readings (a logger that keeps recording).
class AutoDownloadHarness : public LoggerHarness {
  public:
    // The clock starts a minute after the logger's newest reading.
    explicit AutoDownloadHarness(const sim::LoggerConfig& config);

    // Starts the program (again): a fresh engine over the same folder and logger.
    Engine& start();
    // The same on the port given instead of the logger's own device (a link to it, say).
    Engine& start(const QByteArray& port);
    // The logger now holds what config describes; its port replaces the old one. The clock
    // moves on to a minute after its newest reading unless it is later already.
    void replaceLogger(const sim::LoggerConfig& config);

    // Chooses the interval in the Auto Download menu, answers the verification "Continue"
    // and the file dialog with `file` (in the folder), or cancels it when file is empty.
    void arm(Control& interval, const QByteArray& file = "site.csv");
    // Runs the event loop until `count` more downloads were stored or failed and the engine is
    // idle; false after 30 s of real time.
    bool waitForDownloads(int count);

    QByteArray path(const QString& name) const { return dir_.file(name).toLocal8Bit(); }
    // Every download's channel and whether its rows were stored, in order.
    const std::vector<std::pair<int, bool>>& downloads() const { return downloads_; }
    // The readings a loaded duplicate holds, in order, after "Load Chart" of it.
    std::vector<double> loadTimes(const QString& name);

  private:
    std::vector<std::pair<int, bool>> downloads_;
    std::size_t awaited_ = 0;
};

// 30 March 2026 08:07:30, where the loggers of these tests begin.
QDateTime MarchMorning();
// Starts the program with only channel 1 checked.
Engine& StartChannel1(AutoDownloadHarness& h);
// The next download falls due, on the same logger.
void MakeDue(AutoDownloadHarness& h);
// A logger of `readings` readings on both channels, every `period` seconds from `first`.
sim::LoggerConfig GridLogger(const QDateTime& first, int readings, int period = 900);
// The times of the readings a channel of the logger holds, as day counts.
std::vector<double> LoggerTimes(const sim::LoggerSimulator& logger, int channel = 1);
// Times equal to the second, each reading once and in order.
bool SameTimes(const std::vector<double>& a, const std::vector<double>& b);

} // namespace zantrel
