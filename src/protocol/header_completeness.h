#pragma once

#include <QByteArray>

namespace zantrel {

class Flag;

// Decides, delivery by delivery, whether the newer loggers' header is complete: each channel
// ends with a "No data" line or with its last "IIR filter ... last output" line. Each line is
// judged once, as soon as what follows it can no longer change it, so the work done over a
// whole header is linear in its length.
class Version2HeaderScan {
  public:
    // text is the header received so far; it only grows between calls. Sets rhzl from the
    // "n channels" lines it passes (ticked for 2), as the scan goes.
    bool complete(const QByteArray& text, Flag& rhzl);

  private:
    qsizetype position_ = 1; // 1-based start of the first line not yet judged
    int score_ = 0;
};

} // namespace zantrel
