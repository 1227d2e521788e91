// The header of newer loggers: one item per line, lines ended by CR LF.
#include "core/channel_header.h"
#include "protocol/header_lines.h"
#include "protocol/header_parse.h"
#include "protocol/header_scan.h"

#include <optional>
#include <utility>

namespace zantrel {

namespace {

constexpr int kMaxSensors = 2;
constexpr int kMaxPoints = 3;
constexpr float kRequiredSamplingSeconds = 5;

// Whether line begins with prefix; if so the rest of it goes to value.
bool TakeTagged(const QByteArray& line, const char* prefix, QByteArray& value) {
    if (!line.startsWith(prefix)) return false;
    value = line.mid(qstrlen(prefix));
    return true;
}

class Version2Reader {
  public:
    Version2Reader(const QByteArray& text, HeaderValues& header) : text_(text), header_(header) {}

    HeaderOutcome read();

  private:
    QByteArray nextLine() {
        QByteArray line;
        position_ = Memo2GetCstring(text_, line, position_);
        return line;
    }
    void check(bool ok) {
        if (!ok) outcome_.fieldError = true;
    }
    // The next line begins with prefix; the rest of it goes to value.
    void readTagged(const char* prefix, QByteArray& value);
    void readChannel(ChannelHeader& channel);
    void readSensorCount(ChannelHeader& channel);
    void readPoints(SensorHeader& sensor);
    void readPeriods(ChannelHeader& channel);
    void readSensor(SensorHeader& sensor, int number);
    void readRawPoint(const SensorHeader& sensor, int32_t& raw, float& value);

    const QByteArray& text_;
    HeaderValues& header_;
    qsizetype position_ = 1;
    HeaderOutcome outcome_;
};

HeaderOutcome Version2Reader::read() {
    if (!text_.startsWith("001")) {
        outcome_.fieldError = true;
        outcome_.stopMessage = "DATA NOT VALID, <001> EXPECTED";
        return outcome_;
    }
    for (ChannelHeader& channel : header_.Channels)
        channel.SensorCount = 0;
    position_ = 6; // the first channel block follows "001" CR LF
    readChannel(header_.Channels[0]);
    check(nextLine() == "002");
    readChannel(header_.Channels[1]);
    return outcome_;
}

void Version2Reader::readTagged(const char* prefix, QByteArray& value) {
    check(TakeTagged(nextLine(), prefix, value));
}

void Version2Reader::readChannel(ChannelHeader& channel) {
    const QByteArray first = nextLine();
    if (first == "No data") {
        channel.LastDate = channel.FirstDate = "01/01/01";
        channel.LastTime = channel.FirstTime = "00:00:00";
        return;
    }
    check(TakeTagged(first, "Model ", channel.Model));
    readTagged("Serial ", channel.Serial);
    readSensorCount(channel);
    readTagged("Calibrated ", channel.Calibrated);
    for (int s = 0; s < channel.SensorCount; ++s)
        readPoints(channel.Sensors[s]);
    readPeriods(channel);
    for (QByteArray* text :
         {&channel.LastDate, &channel.LastTime, &channel.FirstDate, &channel.FirstTime}) {
        const QByteArray line = nextLine();
        const bool ok = line.size() == 8;
        if (ok) *text = line;
        check(ok);
    }
    for (int s = 0; s < channel.SensorCount; ++s)
        readSensor(channel.Sensors[s], s + 1);
}

// "%d channels": only the number counts; anything but 1 or 2 sensors makes the count 0.
void Version2Reader::readSensorCount(ChannelHeader& channel) {
    LineScanner line(nextLine());
    int count = 0;
    const bool ok = line.integer(count) && count >= 1 && count <= kMaxSensors;
    channel.SensorCount = ok ? count : 0;
    check(ok);
}

// "%d points", then "Measured %f" and "Actual %f" for each point. A count that is negative or
// above 3 becomes 0 and no point lines are read.
void Version2Reader::readPoints(SensorHeader& sensor) {
    LineScanner countLine(nextLine());
    int count = 0;
    const bool ok = countLine.integer(count) && count >= 0 && count <= kMaxPoints;
    sensor.PointCount = ok ? count : 0;
    check(ok);
    for (int p = 0; p < sensor.PointCount; ++p) {
        for (auto [tag, values] :
             {std::pair{"Measured", &sensor.Measured}, std::pair{"Actual", &sensor.Actual}}) {
            LineScanner line(nextLine());
            double value = 0;
            const bool read = line.match(tag) && line.real(value);
            const auto number = read ? FiniteFloat(value) : std::nullopt;
            if (number) (*values)[p] = *number;
            check(number.has_value());
        }
    }
}

// The sampling period must be 5 seconds; a storage period of 0 stores nothing.
void Version2Reader::readPeriods(ChannelHeader& channel) {
    LineScanner sampled(nextLine());
    double value = 0;
    const bool sampledRead = sampled.match("Sampled every ") && sampled.real(value);
    const auto sampling = sampledRead ? FiniteFloat(value) : std::nullopt;
    const bool samplingOk = sampling && *sampling == kRequiredSamplingSeconds;
    if (samplingOk) channel.SamplesPerHour = 3600 / *sampling;
    check(samplingOk);

    LineScanner stored(nextLine());
    const bool storedRead = stored.match("Stored every ") && stored.real(value);
    std::optional<float> perHour;
    if (const auto storage = storedRead ? FiniteFloat(value) : std::nullopt)
        perHour = *storage == 0 ? std::optional<float>(0) : FiniteFloat(3600.0 / *storage);
    if (perHour) channel.StoredPerHour = *perHour;
    check(perHour.has_value());
}

void Version2Reader::readSensor(SensorHeader& sensor, int number) {
    const char letter = number == 1 ? 'T' : 'H';
    // Identifier: decimal digits equal to the sensor's number, then its letter.
    {
        const QByteArray line = nextLine();
        qsizetype i = 0;
        int value = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9' && value <= kMaxSensors)
            value = value * 10 + (line[i++] - '0');
        const bool ok = i > 0 && value == number && i < line.size() && line[i] == letter;
        if (ok) sensor.Letter = letter;
        check(ok);
    }
    // "%d bits %s": 16 signed for the temperature sensor, 8 unsigned for humidity.
    {
        LineScanner line(nextLine());
        int bits = 0;
        QByteArray signedness;
        const bool read = line.integer(bits) && line.match(" bits") && line.word(signedness);
        const bool ok = read && (number == 1 ? bits == 16 && signedness == "signed"
                                             : bits == 8 && signedness == "unsigned");
        if (ok) {
            sensor.Bits = bits;
            sensor.Signed = number == 1;
        }
        check(ok);
    }
    readRawPoint(sensor, sensor.Raw1, sensor.Value1);
    readRawPoint(sensor, sensor.Raw2, sensor.Value2);
    {
        const QByteArray line = nextLine();
        const bool ok = line.startsWith('C') || line.startsWith('%');
        if (ok) sensor.Unit = line;
        check(ok);
    }
    {
        LineScanner line(nextLine());
        double value = 0;
        const bool read = line.match("IIR filter ") && line.real(value);
        const auto percent = read ? FiniteFloat(value) : std::nullopt;
        if (percent) sensor.IirPercent = *percent;
        check(percent.has_value());
    }
}

// "%x %f": a raw reading in hexadecimal, sign-extended from the sensor's width when the
// sensor is signed, and its engineering value.
void Version2Reader::readRawPoint(const SensorHeader& sensor, int32_t& raw, float& value) {
    LineScanner line(nextLine());
    uint32_t bits = 0;
    double number = 0;
    const bool read = line.hex(bits) && line.real(number);
    const auto engineering = read ? FiniteFloat(number) : std::nullopt;
    if (engineering) {
        if (sensor.Signed && sensor.Bits > 0 && sensor.Bits < 32 &&
            ((bits >> (sensor.Bits - 1)) & 1u) != 0)
            bits |= ~0u << sensor.Bits;
        raw = static_cast<int32_t>(bits);
        value = *engineering;
    }
    check(engineering.has_value());
}

} // namespace

HeaderOutcome ParseVersion2Header(const QByteArray& text, HeaderValues& header) {
    return Version2Reader(text, header).read();
}

} // namespace zantrel
