#pragma once

#include "sim/stored_channel.h"

#include <QByteArray>

namespace zantrel::sim {

constexpr char kEscape = '\\';

// Version 2 reply to a block request, before escaping: '+', the records (events just before the
// reading they precede, gaps in place of readings), the checksum (8-bit sum of the record bytes;
// one more than that when `corruptChecksum`), the terminator (one zero byte per record byte) and
// CR LF. A record is the 16-bit temperature field, big-endian, then one %RH byte when the channel
// has a humidity sensor (0 after an event code, 0xFF after a gap).
QByteArray version2Packet(const StoredChannel& channel, ReadingSpan span, bool corruptChecksum);

// The 8-bit sum of the record bytes of a version-2 reply.
unsigned char version2Checksum(const StoredChannel& channel, ReadingSpan span);

// Every backslash doubled, as the logger sends bytes in the data phase.
QByteArray escaped(const QByteArray& bytes);

// Version 1 reply, all of it: the 20-byte lead-in (the channel digit, '+', then the request's
// start and count characters echoed, cut or padded with '0' to 18), the records as upper-case
// hexadecimal text (the temperature field `fieldWidth` characters wide, its first four the
// reading; two more for %RH when the channel has humidity) and the tail of fieldWidth + 2 zeros
// and CR LF. Version 1 stores no events and has no checksum.
QByteArray version1Packet(const StoredChannel& channel, ReadingSpan span, char channelDigit,
                          const QByteArray& parameters, int fieldWidth);

} // namespace zantrel::sim
