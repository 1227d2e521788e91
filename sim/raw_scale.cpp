#include "sim/raw_scale.h"

#include <algorithm>
#include <cmath>

namespace zantrel::sim {

namespace {

constexpr double kKelvinOffset = 273.15;

std::optional<int> hexValue(const QByteArray& text, int maxDigits) {
    if (text.isEmpty() || text.size() > 8) return std::nullopt;
    bool ok = false;
    const int value = text.left(maxDigits).toInt(&ok, 16);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<double> decimalValue(QByteArray text) {
    if (text.startsWith('+')) text.remove(0, 1);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

int signExtend16(int raw) {
    return (raw & 0x8000) ? raw - 0x10000 : raw;
}

bool fail(QString* problem, const QString& why) {
    if (problem) *problem = why;
    return false;
}

} // namespace

Calibration RawScale::effectiveCalibration(int version, const Calibration& given) {
    // Version 1 counts 1/32 kelvin steps above an absolute zero-based whole part; these points
    // give a slope of one kelvin per whole step and a divisor of 31.
    const Calibration defaults = version == 1 ? Calibration{"2E1F", "+368.0", "2000", "+256.0"}
                                              : Calibration{"1900", "60.0", "0000", "-40.0"};
    return Calibration{given.raw1.isEmpty() ? defaults.raw1 : given.raw1,
                       given.value1.isEmpty() ? defaults.value1 : given.value1,
                       given.raw2.isEmpty() ? defaults.raw2 : given.raw2,
                       given.value2.isEmpty() ? defaults.value2 : given.value2};
}

std::optional<RawScale> RawScale::fromCalibration(int version, const Calibration& given,
                                                  QString* problem) {
    const Calibration c = effectiveCalibration(version, given);
    const auto raw1 = hexValue(c.raw1, 4);
    const auto raw2 = hexValue(c.raw2, 4);
    const auto value1 = decimalValue(c.value1);
    const auto value2 = decimalValue(c.value2);
    if (!raw1 || !raw2 || !value1 || !value2) {
        fail(problem, "calibration texts must be 1 to 8 hexadecimal digits and numbers");
        return std::nullopt;
    }
    RawScale scale;
    scale.version_ = version;
    if (version == 1) {
        if (c.raw1.size() < 4) {
            fail(problem, "a version 1 raw text needs at least 4 digits");
            return std::nullopt;
        }
        const int steps = (*raw1 - *raw2) >> 5;
        scale.divisor_ = ((31 - *raw2) & *raw1) & 31;
        if (steps == 0 || scale.divisor_ == 0 || *value1 == *value2) {
            fail(problem, "the version 1 calibration points give no usable line");
            return std::nullopt;
        }
        scale.slope_ = (*value1 - *value2) / steps;
        if (scale.slope_ <= 0) {
            fail(problem, "the version 1 calibration must rise with the raw reading");
            return std::nullopt;
        }
        return scale;
    }
    scale.raw2_ = signExtend16(*raw2);
    const int span = signExtend16(*raw1) - scale.raw2_;
    if (span == 0 || *value1 == *value2) {
        fail(problem, "the calibration points give no usable line");
        return std::nullopt;
    }
    scale.slope_ = (*value1 - *value2) / span;
    scale.offset_ = *value2;
    return scale;
}

int RawScale::encode(double celsius) const {
    if (version_ == 1) {
        // Pick the whole part and the 1/divisor fraction closest to the kelvin value.
        const double kelvin = celsius + kKelvinOffset;
        const int guess = static_cast<int>(std::floor(kelvin / slope_));
        int best = 0;
        double bestError = INFINITY;
        for (int whole = guess - 1; whole <= guess + 1; ++whole) {
            if (whole < 0 || whole > 2047) continue;
            const long fraction = std::lround((kelvin - whole * slope_) * divisor_);
            const int f = static_cast<int>(std::clamp(fraction, 0L, 31L));
            const int raw = whole * 32 + f;
            if (raw == 0xFFFF) continue; // a gap record
            const double error = std::fabs(decode(raw) - celsius);
            if (error < bestError) {
                bestError = error;
                best = raw;
            }
        }
        return best;
    }
    long raw = std::lround((celsius - offset_) / slope_ + raw2_);
    raw = std::clamp(raw, -32768L, 32767L);
    // -8..-1 are the record codes 0xFFF8..0xFFFF: store the nearest value outside them.
    if (raw >= -8 && raw <= -1) raw = raw >= -4 ? 0 : -9;
    return static_cast<int>(raw & 0xFFFF);
}

double RawScale::decode(int raw) const {
    if (version_ == 1) {
        const int whole = raw >> 5;
        const int fraction = raw & 31;
        return static_cast<double>(fraction) / divisor_ + whole * slope_ - kKelvinOffset;
    }
    return (signExtend16(raw) - raw2_) * slope_ + offset_;
}

} // namespace zantrel::sim
