#pragma once

#include <QByteArray>

namespace zantrel {

struct HeaderValues;

// What reading a header found wrong. A failed field check lets the reading go on with the
// next field; a failed check of the opening line (or of the line that opens channel 2 in the
// older format) stops it at once with its own status text.
struct HeaderOutcome {
    bool fieldError = false;
    QByteArray stopMessage; // empty unless the reading stopped

    bool valid() const { return !fieldError && stopMessage.isEmpty(); }
};

// Reads the keyword-tagged header of newer loggers into both channel records. Sets the
// sensor counts of both channels to 0 before the channel blocks.
HeaderOutcome ParseVersion2Header(const QByteArray& text, HeaderValues& header);

// Reads the fixed-field header of older loggers into both channel records.
HeaderOutcome ParseVersion1Header(const QByteArray& text, HeaderValues& header);

} // namespace zantrel
