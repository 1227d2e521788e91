#include "protocol/header_completeness.h"

#include "core/flag.h"
#include "protocol/header_lines.h"

#include <cstdlib>

namespace zantrel {

namespace {

// The decimal number a line starts with, as "%d" reads it (blanks and a sign allowed).
bool LeadingNumber(const QByteArray& line, long& value) {
    const char* begin = line.constData();
    char* end = nullptr;
    value = std::strtol(begin, &end, 10);
    return end != begin;
}

} // namespace

bool Version2HeaderScan::complete(const QByteArray& text, Flag& rhzl) {
    QByteArray line;
    while (score_ < 4 && position_ <= text.size()) {
        const qsizetype next = Memo2GetCstring(text, line, position_);
        const bool complete = text[next - 2] == '\n';
        // A line that runs to the end of the text may still grow, or gain its line feed.
        if (!complete && next > text.size()) break;
        position_ = next;
        long channels = 0;
        if (complete && line.startsWith("No data")) {
            score_ += 2;
        } else if (line.startsWith("IIR filter")) {
            if (complete && line.contains("last output")) score_ += rhzl.checked() ? 1 : 2;
        } else if (LeadingNumber(line, channels) && line.contains("channels")) {
            rhzl.set(channels == 2);
        }
    }
    return score_ == 4;
}

} // namespace zantrel
