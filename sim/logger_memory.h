#pragma once

#include "sim/logger_config.h"
#include "sim/stored_channel.h"

#include <QByteArray>
#include <QDateTime>

#include <array>

namespace zantrel::sim {

// Everything the logger has stored: both channels and the header describing them. Built once;
// read-only afterwards, so any thread may read it.
class LoggerMemory {
  public:
    // A configuration with a problem (configProblem) still gives a memory, with the version's
    // default calibration where the given one is unusable.
    explicit LoggerMemory(const LoggerConfig& config);

    int version() const { return version_; }
    // number is 1 or 2.
    const StoredChannel& channel(int number) const { return channels_.at(number - 1); }
    const QByteArray& header() const { return header_; }
    // Characters of a version-1 temperature field of the channel.
    int fieldWidth(int number) const { return fieldWidths_.at(number - 1); }

    // The time a request's "mmddyyhhnnss" names, its two-digit year taken in the century that
    // puts it nearest the stored readings; invalid when the digits name no time.
    QDateTime requestTime(const QByteArray& digits) const;

  private:
    int version_;
    std::array<StoredChannel, 2> channels_;
    std::array<int, 2> fieldWidths_;
    QByteArray header_;
};

} // namespace zantrel::sim
