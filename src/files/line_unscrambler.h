#pragma once

#include "files/scrambling.h"

#include <string>
#include <string_view>

namespace zantrel {

// Reads the scrambled lines of a duplicate back, one after the other, into a buffer that is
// reused from line to line. The result is that of UnscrambleLine, without an allocation per
// line: a file of a million lines reads back in milliseconds.
class LineUnscrambler {
  public:
    // Unscrambles one line (without its "?" marker and line end) into out, replacing what out
    // held, and steps the state past the line end.
    void unscramble(std::string_view scrambled, std::string& out);

  private:
    ScrambleState state_;
};

} // namespace zantrel
