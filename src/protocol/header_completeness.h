#pragma once

#include <QByteArray>

namespace zantrel {

class Flag;

// Whether the newer loggers' header in text is complete: each channel ends with a
// "No data" line or with its last "IIR filter ... last output" line. Sets rhzl from the
// "n channels" lines it passes (ticked for 2), as the scan goes.
bool Version2HeaderComplete(const QByteArray& text, Flag& rhzl);

} // namespace zantrel
