#pragma once

#include "chart/readings_store.h"

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace zantrel {

// The value of at most four leading hexadecimal digits of text, read up to the first character
// that is not a digit. "a"-"f" and "A"-"F" are 10 to 15; every character from "*" to "?" (the
// decimal digits among them) counts its low four bits. An empty text or a leading non-digit
// gives 0.
int ParseHex(const char* text, qsizetype size);
inline int ParseHex(const QByteArray& text) {
    return ParseHex(text.constData(), text.size());
}

// How the packet of one block is laid out in the packet slot. Newer loggers send every byte as
// two hexadecimal digits and end with a checksum; older ones send a 40-character hexadecimal
// lead-in, then their records as plain characters, and no checksum.
struct PacketLayout {
    bool version1 = false;
    qsizetype sampleDigits = 4;   // width of the temperature field
    qsizetype humidityDigits = 0; // width of the humidity field, 0 when it is not read
    bool readsHumidity = false;   // the humidity field is read and kept
    qsizetype blockCount = 0;     // reading records requested (gaps count, events do not)

    // Widths below 0 count as 0 and absurd widths are capped, so the arithmetic on positions
    // can never overflow whatever the header said.
    static PacketLayout make(bool version1, int sampleDigits, int humidityDigits,
                             bool readsHumidity, int blockCount);
    qsizetype recordLength() const { return sampleDigits + humidityDigits; }
};

// Whether the text may hold a whole packet: long enough for the requested readings and ending
// like a packet. Costs the same however long the text is. Event records are not counted in the
// block, so a packet can pass this before it is whole; ParsePacket settles that.
bool LooksComplete(const QByteArray& text, const PacketLayout& layout);

enum class RecordKind : uint8_t { Reading, Gap, Event };

struct PacketRecord {
    RecordKind kind = RecordKind::Reading;
    EventKind event = NewSensor; // which list an event record goes to
    int raw = 0;                 // the temperature field's value
    int humidity = -1;           // the humidity field's value; -1 when it is not read
};

struct ParsedPacket {
    std::vector<PacketRecord> records;
    int readings = 0;        // records that are readings or gaps
    uint8_t sum = 0;         // 8-bit sum of the data bytes
    QByteArray checksumText; // newer loggers: the two checksum characters received
    bool checksumMatches = true;
};

// Splits the packet into its records and reads the checksum. Empty while the text ends inside
// the records or, for newer loggers, before the packet's end: the rest is still to come.
std::optional<ParsedPacket> ParsePacket(const QByteArray& text, const PacketLayout& layout);

} // namespace zantrel
