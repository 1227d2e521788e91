#pragma once

#include "sim/logger_config.h"

#include <optional>

namespace zantrel::sim {

// The logger's conversion between degrees Celsius and raw 16-bit temperature readings, fixed by
// the two calibration points of its header.
//
// Version 2: a signed 16-bit reading r stands for (r - raw2) * slope + value2 degrees Celsius.
// Version 1: a reading is I = r >> 5 and F = r & 31, standing for F / divisor + I * slope kelvin,
// with slope = (value1 - value2) / ((raw1 - raw2) >> 5) and divisor = ((31 - raw2) & raw1) & 31.
class RawScale {
  public:
    // The effective calibration texts for a channel (the version's defaults where empty).
    static Calibration effectiveCalibration(int version, const Calibration& given);
    // nullopt (and a reason) when the texts do not give a usable line.
    static std::optional<RawScale> fromCalibration(int version, const Calibration& given,
                                                   QString* problem = nullptr);

    // The raw reading (0..0xFFFF) the logger stores for a temperature; never a record code.
    int encode(double celsius) const;
    // The temperature a raw reading stands for, in degrees Celsius.
    double decode(int raw) const;

  private:
    RawScale() = default;
    int version_ = 2;
    double slope_ = 1;
    double offset_ = 0; // version 2: value2
    int raw2_ = 0;      // version 2: raw2, sign-extended
    int divisor_ = 31;  // version 1
};

} // namespace zantrel::sim
