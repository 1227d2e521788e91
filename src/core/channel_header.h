#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace zantrel {

// What the header says about one sensor of a channel (newer loggers).
struct SensorHeader {
    char Letter = 0; // 'T' for sensor 1, 'H' for sensor 2
    int Bits = 0;    // width of a raw reading
    bool Signed = false;
    int32_t Raw1 = 0, Raw2 = 0;
    float Value1 = 0, Value2 = 0; // engineering values of Raw1 and Raw2
    QByteArray Unit;
    float IirPercent = 0;
    int PointCount = 0;
    std::array<float, 3> Measured{}, Actual{};
};

// What the header says about one logger channel.
struct ChannelHeader {
    QByteArray Model, Serial, Calibrated;
    int SensorCount = 0;
    float SamplesPerHour = 0;
    float StoredPerHour = 0;
    QByteArray LastDate, LastTime, FirstDate, FirstTime;
    // Older loggers: two raw readings in hexadecimal with their engineering values.
    QByteArray Raw1Text, Raw2Text;
    float Value1 = 0, Value2 = 0;
    QByteArray Note, StorageText;
    std::array<SensorHeader, 2> Sensors;

    // The reset at the start of each session: rates and values zero, texts empty.
    void resetCounters() {
        SamplesPerHour = StoredPerHour = 0;
        Value1 = Value2 = 0;
        Raw1Text.clear();
        Raw2Text.clear();
        Note.clear();
        StorageText.clear();
        LastDate.clear();
        LastTime.clear();
        FirstDate.clear();
        FirstTime.clear();
    }
};

// The header record of the connected logger: both channels and the digits per raw reading
// of the selected channel.
struct HeaderValues {
    std::array<ChannelHeader, 2> Channels;
    int SampleHexDigits = 4;

    ChannelHeader& channel(bool channel1) { return Channels[channel1 ? 0 : 1]; }
    const ChannelHeader& channel(bool channel1) const { return Channels[channel1 ? 0 : 1]; }
};

} // namespace zantrel
