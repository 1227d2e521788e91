#include "protocol/packet_parser.h"

#include <algorithm>

namespace zantrel {

namespace {

// Far wider than any logger's field, small enough that positions never overflow.
constexpr int kMaxFieldDigits = 1 << 16;

int HexDigitValue(unsigned char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= '*' && c <= '?') return c & 0x0F;
    return -1;
}

// The running checksum: every character read joins a pair buffer; every second character of
// the packet (the count runs on across records) adds the pair's value. Each field starts with
// an empty buffer, so with even field widths every field splits into byte pairs.
class PairSum {
  public:
    void startField() { size_ = 0; }
    void feed(char c) {
        pair_[size_++] = c;
        if (second_) {
            sum_ = static_cast<uint8_t>(sum_ + ParseHex(pair_, size_));
            size_ = 0;
        }
        second_ = !second_;
    }
    uint8_t sum() const { return sum_; }

  private:
    char pair_[2] = {};
    int size_ = 0;
    bool second_ = false;
    uint8_t sum_ = 0;
};

// Gap and event codes, compared without regard to case on the field's first four characters.
// Only newer loggers send events; for older ones those codes are readings.
RecordKind Classify(const char* field, qsizetype width, bool version1, EventKind& event) {
    if (width < 4) return RecordKind::Reading;
    char code[4];
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        code[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    }
    if (code[0] != 'f' || code[1] != 'f' || code[2] != 'f') return RecordKind::Reading;
    switch (code[3]) {
    case 'f':
        return RecordKind::Gap;
    case 'e':
        event = TempAlarmStart;
        break;
    case 'd':
        event = RhAlarmStart;
        break;
    case 'c':
        event = TempAlarmEnd;
        break;
    case 'b':
        event = RhAlarmEnd;
        break;
    case 'a':
        event = TestStart;
        break;
    case '9':
        event = TestEnd;
        break;
    case '8':
        event = NewSensor;
        break;
    default:
        return RecordKind::Reading;
    }
    return version1 ? RecordKind::Reading : RecordKind::Event;
}

} // namespace

int ParseHex(const char* text, qsizetype size) {
    int value = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(size, 4); ++i) {
        const int digit = HexDigitValue(static_cast<unsigned char>(text[i]));
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return value;
}

PacketLayout PacketLayout::make(bool version1, int sampleDigits, int humidityDigits,
                                bool readsHumidity, int blockCount) {
    PacketLayout layout;
    layout.version1 = version1;
    layout.sampleDigits = std::clamp(sampleDigits, 0, kMaxFieldDigits);
    // A humidity field that is not read is not part of the record, so every record moves the
    // position on by its whole length.
    layout.humidityDigits = readsHumidity ? std::clamp(humidityDigits, 0, kMaxFieldDigits) : 0;
    layout.readsHumidity = readsHumidity;
    layout.blockCount = std::max(blockCount, 0);
    return layout;
}

bool LooksComplete(const QByteArray& text, const PacketLayout& layout) {
    const qsizetype len = text.size();
    const qsizetype recordLength = layout.recordLength();
    if (len <= recordLength + 4) return false;
    const qsizetype minimum = layout.version1
                                  ? recordLength * layout.blockCount + layout.sampleDigits + 44
                                  : recordLength * (layout.blockCount + 1) + 8;
    if (len < minimum) return false;

    // 1-based positions; the length test above keeps every one of them inside the text.
    const auto at = [&text](qsizetype position) { return text[position - 1]; };
    if (at(len - 1) != '0' && at(len) != 'A' && at(len - 3) != 'D' && at(len - 2) != '0')
        return false;
    const qsizetype zeros = layout.version1 ? layout.sampleDigits : recordLength;
    const qsizetype last = layout.version1 ? len - 2 : len - 4;
    for (qsizetype position = last - zeros + 1; position <= last; ++position)
        if (at(position) != '0') return false;
    return true;
}

std::optional<ParsedPacket> ParsePacket(const QByteArray& text, const PacketLayout& layout) {
    const qsizetype len = text.size();
    const qsizetype recordLength = layout.recordLength();
    const qsizetype base = layout.version1 ? 40 : 2;
    const char* data = text.constData();

    ParsedPacket packet;
    PairSum sum;
    qsizetype events = 0;
    qsizetype p = base + 1; // 1-based position of the next record
    while (p < base + recordLength * (layout.blockCount + events)) {
        if (len < p + recordLength) return std::nullopt;
        // Each field counts towards the checksum on its own and is read as hexadecimal.
        const auto readField = [&](qsizetype digits) {
            const char* field = data + p - 1;
            sum.startField();
            for (qsizetype i = 0; i < digits; ++i)
                sum.feed(field[i]);
            p += digits;
            return field;
        };
        PacketRecord record;
        const char* field = readField(layout.sampleDigits);
        record.raw = ParseHex(field, layout.sampleDigits);
        if (layout.readsHumidity)
            record.humidity = ParseHex(readField(layout.humidityDigits), layout.humidityDigits);
        record.kind = Classify(field, layout.sampleDigits, layout.version1, record.event);
        if (record.kind == RecordKind::Event)
            ++events;
        else
            ++packet.readings;
        packet.records.push_back(record);
    }

    packet.sum = sum.sum();
    if (layout.version1) return packet;
    if (len < p + recordLength + 5) return std::nullopt;
    packet.checksumText = text.mid(p - 1, 2);
    packet.checksumMatches = (ParseHex(packet.checksumText) & 0xFF) == packet.sum;
    return packet;
}

} // namespace zantrel
