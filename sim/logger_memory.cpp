#include "sim/logger_memory.h"

#include "sim/header_text.h"
#include "sim/raw_scale.h"

#include <algorithm>

namespace zantrel::sim {

namespace {

RawScale usableScale(int version, const Calibration& calibration) {
    if (auto scale = RawScale::fromCalibration(version, calibration)) return *scale;
    return *RawScale::fromCalibration(version, {});
}

StoredChannel storedChannel(const LoggerConfig& config, int index) {
    const ChannelConfig& c = config.channels[index];
    return StoredChannel(c, usableScale(config.version, c.calibration));
}

int configuredFieldWidth(const LoggerConfig& config, int index) {
    const auto& calibration = config.channels[index].calibration;
    const auto width = RawScale::effectiveCalibration(config.version, calibration).raw1.size();
    return int(std::clamp<qsizetype>(width, 4, 8));
}

} // namespace

LoggerMemory::LoggerMemory(const LoggerConfig& config)
    : version_(config.version), channels_{storedChannel(config, 0), storedChannel(config, 1)},
      fieldWidths_{configuredFieldWidth(config, 0), configuredFieldWidth(config, 1)},
      header_(headerText(config, channels_)) {}

QDateTime LoggerMemory::requestTime(const QByteArray& digits) const {
    if (digits.size() != 12) return {};
    for (char c : digits)
        if (c < '0' || c > '9') return {};
    auto field = [&](int at) { return digits.mid(at, 2).toInt(); };
    const int shortYear = field(4);
    const int base = channels_[0].firstTime().date().year();
    int year = base - base % 100 + shortYear;
    if (year - base > 50) year -= 100;
    if (base - year > 50) year += 100;
    const QDate date(year, field(0), field(2));
    const QTime time(field(6), field(8), field(10));
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time, Qt::UTC);
}

} // namespace zantrel::sim
