#pragma once

namespace zantrel {

struct ChannelHeader;
struct SensorHeader;

// Turns the raw value of a temperature field into degrees Celsius with the calibration the
// header gave for the selected channel. A calibration that cannot give a finite value (its two
// points share a raw value, or the older format's divisor is 0) makes every reading a gap.
class ReadingConverter {
  public:
    // Newer loggers: the straight line through (Raw1, Value1) and (Raw2, Value2) of the
    // temperature sensor, after sign extension of a signed raw value.
    static ReadingConverter forSensor(const SensorHeader& sensor);
    // Older loggers: the raw value holds kelvin, whole degrees above bit 5 scaled by the line
    // through the two raw texts and their values, and a fraction in its low five bits.
    static ReadingConverter forOlderChannel(const ChannelHeader& channel);

    // NoReading when the result is not a finite number.
    float celsius(int raw) const;

  private:
    float older(int raw) const;
    float newer(int raw) const;

    bool older_ = false;
    float slope_ = 0;
    float offset_ = 0;
    float divisor_ = 0;
    int bits_ = 0;
    bool signed_ = false;
    long long raw2_ = 0;
};

} // namespace zantrel
