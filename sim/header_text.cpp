#include "sim/header_text.h"

#include "sim/raw_scale.h"

namespace zantrel::sim {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr int kSamplingSeconds = 5;

QByteArray dateText(const QDateTime& t) {
    return t.toString("MM/dd/yy").toLatin1();
}
QByteArray timeText(const QDateTime& t) {
    return t.toString("hh:mm:ss").toLatin1();
}
QByteArray number(double value) {
    return QByteArray::number(value, 'f', 2);
}

class Lines {
  public:
    Lines& operator<<(const QByteArray& line) {
        text_ += line;
        text_ += kLineEnd;
        return *this;
    }
    QByteArray text() const { return text_; }

  private:
    QByteArray text_;
};

void pointLines(Lines& out, const std::vector<CalibrationPoint>& points) {
    out << QByteArray::number(int(points.size())) + " points";
    for (const CalibrationPoint& p : points)
        out << "Measured " + number(p.measured) << "Actual " + number(p.actual);
}

void version2Block(Lines& out, const ChannelConfig& config, const StoredChannel& memory) {
    if (memory.kind() == ChannelKind::NoData) {
        out << "No data";
        return;
    }
    const bool rh = memory.hasHumidity();
    const Calibration cal = RawScale::effectiveCalibration(2, config.calibration);
    out << "Model " + config.model << "Serial " + config.serial
        << QByteArray(rh ? "2" : "1") + " channels"
        << "Calibrated " + config.calibrated;
    pointLines(out, config.temperaturePoints);
    if (rh) pointLines(out, config.humidityPoints);
    out << "Sampled every " + QByteArray::number(kSamplingSeconds) + " seconds"
        << "Stored every " + QByteArray::number(memory.storagePeriodSeconds()) + " seconds";
    out << dateText(memory.lastTime()) << timeText(memory.lastTime())
        << dateText(memory.firstTime()) << timeText(memory.firstTime());
    out << "1T"
        << "16 bits signed" << cal.raw1 + ' ' + cal.value1 << cal.raw2 + ' ' + cal.value2 << "C"
        << "IIR filter " + config.temperatureIirPercent + "% last output";
    if (rh)
        out << "2H"
            << "8 bits unsigned"
            << "64 100.0"
            << "00 0.0"
            << "%RH"
            << "IIR filter " + config.humidityIirPercent + "% last output";
}

QByteArray storedPerHour(const StoredChannel& memory) {
    const int period = memory.storagePeriodSeconds();
    return QByteArray::number(period > 0 ? 3600 / period : 0);
}

void version1Block(Lines& out, const ChannelConfig& config, const StoredChannel& memory) {
    const Calibration cal = RawScale::effectiveCalibration(1, config.calibration);
    out << cal.raw1 << cal.value1 << cal.raw2 << cal.value2 << config.note << storedPerHour(memory)
        << QByteArray::number(config.samplesPerHour) << config.storageText
        << dateText(memory.lastTime()) << timeText(memory.lastTime())
        << dateText(memory.firstTime()) << timeText(memory.firstTime());
}

void version1HumidityLines(Lines& out, const ChannelConfig& config, const StoredChannel& memory) {
    out << "64"
        << "+100.0"
        << "00"
        << "+0.0"
        << "%RH" << storedPerHour(memory) << QByteArray::number(config.samplesPerHour)
        << config.storageText << dateText(memory.lastTime()) << timeText(memory.lastTime())
        << dateText(memory.firstTime()) << timeText(memory.firstTime());
}

} // namespace

QByteArray headerText(const LoggerConfig& config, const std::array<StoredChannel, 2>& memory) {
    Lines out;
    if (config.version == 1) {
        version1Block(out, config.channels[0], memory[0]);
        out << "2";
        version1Block(out, config.channels[1], memory[1]);
        if (memory[0].hasHumidity()) version1HumidityLines(out, config.channels[0], memory[0]);
        return "<1>\n" + out.text();
    }
    out << "001";
    version2Block(out, config.channels[0], memory[0]);
    out << "002";
    version2Block(out, config.channels[1], memory[1]);
    return out.text();
}

} // namespace zantrel::sim
