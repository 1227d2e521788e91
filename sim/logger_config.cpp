#include "sim/logger_config.h"

#include "sim/raw_scale.h"

namespace zantrel::sim {

namespace {

constexpr int kMaxReadings = 1000000;
constexpr int kMaxCalibrationPoints = 3;

bool isOneLine(const QByteArray& text) {
    return !text.contains('\r') && !text.contains('\n');
}

bool isEventCode(EventCode code) {
    const auto value = static_cast<unsigned>(code);
    return value >= 0xFFF8 && value <= 0xFFFE;
}

QString channelProblem(int version, const ChannelConfig& c) {
    if (c.kind == ChannelKind::NoData)
        return version == 1 ? "version 1 has no \"No data\" channel" : "";
    if (c.readingCount < 0 || c.readingCount > kMaxReadings)
        return QString("the number of readings must be 0 to %1").arg(kMaxReadings);
    if (c.storagePeriodSeconds < 0) return "the storage period cannot be negative";
    if (version == 1 && (c.storagePeriodSeconds == 0 || 3600 % c.storagePeriodSeconds != 0))
        return "a version 1 storage period must divide an hour";
    if (version == 1 && (c.samplesPerHour <= 0 || c.samplesPerHour > 9999))
        return "version 1 samples per hour must be 1 to 9999";
    if (!c.firstReading.isValid()) return "the first reading time is not valid";
    QString problem;
    if (!RawScale::fromCalibration(version, c.calibration, &problem)) return problem;
    for (int h : c.humidity)
        if (h < 0 || h > 100) return "humidity values must be 0 to 100";
    for (int g : c.gaps)
        if (g < 0 || g >= c.readingCount) return QString("gap index %1 is not a reading").arg(g);
    if (version == 1 && !c.events.empty()) return "version 1 stores no events";
    for (const EventMark& e : c.events) {
        if (e.beforeReading < 0 || e.beforeReading >= c.readingCount)
            return QString("event index %1 is not a reading").arg(e.beforeReading);
        if (!isEventCode(e.code)) return "unknown event code";
    }
    if (c.temperaturePoints.size() > kMaxCalibrationPoints ||
        c.humidityPoints.size() > kMaxCalibrationPoints)
        return "at most 3 calibration points per sensor";
    const Calibration cal = RawScale::effectiveCalibration(version, c.calibration);
    for (const QByteArray* text :
         {&c.model, &c.serial, &c.calibrated, &c.temperatureIirPercent, &c.humidityIirPercent,
          &c.note, &c.storageText, &cal.raw1, &cal.raw2, &cal.value1, &cal.value2})
        if (!isOneLine(*text)) return "header texts cannot hold line breaks";
    return {};
}

QString faultProblem(const Faults& f) {
    if (f.splitPauseMs < 0 || f.splitPauseMs > 1000) return "the split pause must be 0 to 1000 ms";
    if (f.silence.bytes < 0 || f.close.bytes < 0) return "byte counts cannot be negative";
    for (const SplitFault& s : f.splits)
        for (int offset : s.offsets)
            if (offset <= 0) return "split offsets must be positive";
    return {};
}

} // namespace

QDateTime wallTime(int year, int month, int day, int hour, int minute, int second) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

double dayCount(const QDateTime& wall) {
    static const QDateTime epoch = wallTime(1899, 12, 30);
    const QDateTime asWall(wall.date(), wall.time(), Qt::UTC);
    return epoch.msecsTo(asWall) / 86400000.0;
}

QString configProblem(const LoggerConfig& config) {
    if (config.version != 1 && config.version != 2) return "the protocol version must be 1 or 2";
    for (int i = 0; i < 2; ++i) {
        const QString problem = channelProblem(config.version, config.channels[i]);
        if (!problem.isEmpty()) return QString("channel %1: %2").arg(i + 1).arg(problem);
    }
    if (config.version == 1 && config.channels[0].kind != config.channels[1].kind)
        return "both channels of a version 1 logger are of the same model";
    return faultProblem(config.faults);
}

} // namespace zantrel::sim
