#include "sim/packet_builder.h"

#include <algorithm>

namespace zantrel::sim {

namespace {

constexpr unsigned char kEventHumidity = 0x00;
constexpr unsigned char kGapHumidity = 0xFF;

// Calls record(code or raw, humidity byte) for every record of the span, in sending order.
template <typename RecordFn>
void forEachRecord(const StoredChannel& channel, ReadingSpan span, RecordFn record) {
    const auto& events = channel.events();
    auto next = std::lower_bound(events.begin(), events.end(), span.first,
                                 [](const StoredEvent& e, int i) { return e.beforeReading < i; });
    for (int i = span.first; i < span.first + span.count; ++i) {
        for (; next != events.end() && next->beforeReading == i; ++next)
            record(static_cast<unsigned>(next->code), kEventHumidity);
        const StoredReading& r = channel.readings()[i];
        record(unsigned(r.raw), r.gap ? kGapHumidity : static_cast<unsigned char>(r.humidity));
    }
}

QByteArray version2Records(const StoredChannel& channel, ReadingSpan span) {
    QByteArray out;
    const bool rh = channel.hasHumidity();
    forEachRecord(channel, span, [&](unsigned value, unsigned char humidity) {
        out += char(value >> 8);
        out += char(value & 0xFF);
        if (rh) out += char(humidity);
    });
    return out;
}

unsigned char byteSum(const QByteArray& bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    return static_cast<unsigned char>(sum);
}

QByteArray hex(unsigned value, int digits) {
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0', true);
}

} // namespace

unsigned char version2Checksum(const StoredChannel& channel, ReadingSpan span) {
    return byteSum(version2Records(channel, span));
}

QByteArray version2Packet(const StoredChannel& channel, ReadingSpan span, bool corruptChecksum) {
    const QByteArray records = version2Records(channel, span);
    const int recordBytes = channel.hasHumidity() ? 3 : 2;
    QByteArray out = "+" + records;
    out += char(byteSum(records) + (corruptChecksum ? 1 : 0));
    out += QByteArray(recordBytes, '\0');
    out += "\r\n";
    return out;
}

QByteArray escaped(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 64 + 4);
    for (char c : bytes) {
        if (c == kEscape) out += kEscape;
        out += c;
    }
    return out;
}

QByteArray version1Packet(const StoredChannel& channel, ReadingSpan span, char channelDigit,
                          const QByteArray& parameters, int fieldWidth) {
    constexpr int kEchoLength = 18;
    QByteArray out;
    out += channelDigit;
    out += '+';
    out += parameters.left(kEchoLength).leftJustified(kEchoLength, '0');
    const bool rh = channel.hasHumidity();
    for (int i = span.first; i < span.first + span.count; ++i) {
        const StoredReading& r = channel.readings()[i];
        out += hex(unsigned(r.raw), 4) + QByteArray(fieldWidth - 4, '0');
        if (rh) out += hex(r.gap ? kGapHumidity : unsigned(r.humidity), 2);
    }
    out += QByteArray(fieldWidth + 2, '0');
    out += "\r\n";
    return out;
}

} // namespace zantrel::sim
