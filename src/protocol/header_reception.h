#pragma once

#include "protocol/header_completeness.h"

#include <QByteArray>

namespace zantrel {

class Clock;
struct State;

// Most bytes a header may take: a real one is a few hundred bytes (older loggers) to about
// two kilobytes (newer ones). A line that sends more without completing one is not a logger.
inline constexpr qsizetype kMaxHeaderBytes = 16384;
// Longest time a whole header may take from its first byte, however steadily it arrives.
inline constexpr double kMaxHeaderSeconds = 120;
// Status of an upload whose header never completed within those limits.
inline constexpr const char* kHeaderNeverEnded =
    "ERROR IN HEADER DATA.  UPLOAD CANCELLED. No complete header arrived (too long or too slow).";

// The header phase of the reader: appends each delivery to the header slot, counts the
// older loggers' line feeds and recognises the end of either kind of header. Runs on the
// main thread, as the reader's hand-offs.
class HeaderReception {
  public:
    HeaderReception(State& state, Clock& clock);

    // One delivery of the header phase. fullRead: the read returned as many bytes as it
    // asked for, so more may follow at once.
    void receive(const QByteArray& delivery, bool fullRead);
    // The line went quiet after a read; ends a temperature-only header of the older loggers
    // that was waiting for it.
    void lineQuiet();
    // Forgets the line feeds counted so far and any header end that was waiting.
    void resetLineCount();

    int lineCount() const { return HeaderLineCount; }
    bool endPending() const { return endPending_; }

  private:
    void finishVersion1Header(bool rh);
    void endAsHeaderError();

    State& state_;
    Clock& clock_;
    int HeaderLineCount = 0;
    // A version-1 header reached its 26th line feed at the end of a full read: the line
    // must go quiet before it counts as complete (an RH model sends 38 lines).
    bool endPending_ = false;
    Version2HeaderScan scan_;
    double firstByteAt_ = 0; // steady seconds
};

} // namespace zantrel
