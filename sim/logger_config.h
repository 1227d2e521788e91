#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace zantrel::sim {

// Times of the simulated logger are wall-clock times without a zone: QDateTime in UTC is used
// as a plain calendar so that adding seconds never meets a daylight-saving step.
QDateTime wallTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// The same time as days since 30 December 1899, the fraction being the time of day.
double dayCount(const QDateTime& wall);

// What a channel of the simulated logger measures.
enum class ChannelKind { NoData, Temperature, TemperatureRh };

// Record codes that mark an event instead of a reading. A gap record (0xFFFF) is not an event:
// it stands in for a reading.
enum class EventCode : unsigned {
    TempAlarmStart = 0xFFFE,
    RhAlarmStart = 0xFFFD,
    TempAlarmEnd = 0xFFFC,
    RhAlarmEnd = 0xFFFB,
    TestStart = 0xFFFA,
    TestEnd = 0xFFF9,
    NewSensor = 0xFFF8,
};
constexpr unsigned kGapCode = 0xFFFF;

// An event stored just before reading `beforeReading` (it takes that reading's time).
struct EventMark {
    int beforeReading = 0;
    EventCode code = EventCode::TempAlarmStart;
};

struct CalibrationPoint {
    double measured = 0;
    double actual = 0;
};

// Two points of the line from raw temperature reading to degrees Celsius (version 2) or kelvin
// (version 1), as header texts. Empty texts take the default of the protocol version.
// In version 1 the length of raw1 is the width of every temperature field the logger sends.
struct Calibration {
    QByteArray raw1;
    QByteArray value1;
    QByteArray raw2;
    QByteArray value2;
};

struct ChannelConfig {
    ChannelKind kind = ChannelKind::Temperature;
    int readingCount = 96;
    int storagePeriodSeconds = 900;
    QDateTime firstReading = wallTime(2010, 1, 1);
    Calibration calibration;
    // Reading i takes celsius[i] / humidity[i] where given; the rest is a generated series.
    std::vector<double> celsius;
    std::vector<int> humidity;
    std::vector<int> gaps; // reading indexes stored as gaps
    std::vector<EventMark> events;
    unsigned seed = 1;

    // Version 2 header texts.
    QByteArray model = "ZL-200";
    QByteArray serial = "10001";
    QByteArray calibrated = "01/04/10";
    std::vector<CalibrationPoint> temperaturePoints{{25.0, 25.1}};
    std::vector<CalibrationPoint> humidityPoints{{50.0, 49.0}};
    QByteArray temperatureIirPercent = "12.5";
    QByteArray humidityIirPercent = "0";

    // Version 1 header texts and fields.
    QByteArray note = "ZL unit";
    QByteArray storageText = "Wrap when full";
    int samplesPerHour = 720;
};

// Silence: the logger stops answering at one step, `times` times, then behaves again.
enum class SilenceStep {
    None,
    HeaderRequest, // "?" gets no answer
    HeaderBytes,   // only the first `bytes` bytes of the header are sent
    SpeedCommand,  // the speed command gets no acknowledgement
    BlockRequest,  // block `block` is not acknowledged
    PacketBytes,   // only the first `bytes` bytes of block `block`'s reply are sent
};

struct SilenceFault {
    SilenceStep step = SilenceStep::None;
    int block = 0;
    int bytes = 0;
    int times = 1;
};

// The checksum of block `block` is wrong on its first `tries` requests.
struct BadChecksumFault {
    int block = -1;
    int tries = 0;
};

enum class ReplyKind { Header, Packet };

// Deliveries of a reply end at the given byte offsets (each offset is the number of bytes
// before the cut), with a real pause of Faults::splitPauseMs between them. afterFirstEscape
// also cuts right after the first escape backslash, so that a delivery ends with it.
// For packets, block -1 means every block.
struct SplitFault {
    ReplyKind reply = ReplyKind::Packet;
    int block = -1;
    std::vector<int> offsets;
    bool afterFirstEscape = false;
};

// The logger vanishes: the pseudo-terminal is closed after `bytes` bytes of block `block`.
struct CloseFault {
    int block = -1;
    int bytes = 0;
};

// Block numbers count the block requests of one session (from the last "?") from 0; a
// version-2 request that repeats the previous one's channel and start is a retry of the same
// block. Packet byte offsets count the wire bytes from the '+' in version 2 and from the first
// byte of the 20-byte lead-in in version 1 (whose first two bytes answer the channel digit).
struct Faults {
    BadChecksumFault badChecksum;
    SilenceFault silence;
    std::vector<SplitFault> splits;
    int splitPauseMs = 20;
    std::optional<unsigned char> speedAck; // sent instead of 'b'
    CloseFault close;
};

struct LoggerConfig {
    int version = 2;
    // Version 1 knows no "No data" channel, and both channels are of the model's one kind.
    std::array<ChannelConfig, 2> channels;
    // Send at the wire speed (baud / 10 bytes per second) instead of as fast as possible.
    bool paced = false;
    Faults faults;
};

// Empty when the configuration describes a logger that can be simulated, else why not.
QString configProblem(const LoggerConfig& config);

} // namespace zantrel::sim
