#include "protocol/packet_conversion.h"

#include "chart/readings_store.h"
#include "core/channel_header.h"
#include "protocol/packet_parser.h"

#include <cmath>
#include <limits>

namespace zantrel {

namespace {

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();

float Finite(double value) {
    const float result = static_cast<float>(value);
    return std::isfinite(result) ? result : NoReading;
}

} // namespace

ReadingConverter ReadingConverter::forSensor(const SensorHeader& sensor) {
    ReadingConverter c;
    const long long span = static_cast<long long>(sensor.Raw1) - sensor.Raw2;
    c.slope_ = span == 0 ? kNotANumber
                         : static_cast<float>((static_cast<double>(sensor.Value1) - sensor.Value2) /
                                              static_cast<double>(span));
    c.offset_ = sensor.Value2;
    c.bits_ = sensor.Bits;
    c.signed_ = sensor.Signed;
    c.raw2_ = sensor.Raw2;
    return c;
}

ReadingConverter ReadingConverter::forOlderChannel(const ChannelHeader& channel) {
    ReadingConverter c;
    c.older_ = true;
    const int r1 = ParseHex(channel.Raw1Text);
    const int r2 = ParseHex(channel.Raw2Text);
    const int span = (r1 - r2) >> 5;
    c.slope_ =
        span == 0
            ? kNotANumber
            : static_cast<float>((static_cast<double>(channel.Value1) - channel.Value2) / span);
    c.divisor_ = static_cast<float>(((31 - r2) & r1) & 31);
    return c;
}

float ReadingConverter::celsius(int raw) const {
    return older_ ? older(raw) : newer(raw);
}

float ReadingConverter::older(int raw) const {
    if (divisor_ == 0) return NoReading;
    const int whole = raw >> 5;
    const int fraction = raw & 31;
    return Finite(fraction / static_cast<double>(divisor_) + whole * static_cast<double>(slope_) -
                  273.15);
}

float ReadingConverter::newer(int raw) const {
    long long r = raw;
    // Widths outside 1..31 leave nothing to extend: a raw value has at most 16 bits.
    if (signed_ && bits_ >= 1 && bits_ <= 31 && (r >> (bits_ - 1)) != 0)
        r |= static_cast<long long>(~0ULL << bits_);
    const float d = static_cast<float>(r - raw2_);
    return Finite(static_cast<double>(d) * slope_ + offset_);
}

} // namespace zantrel
