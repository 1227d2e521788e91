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

bool Version2HeaderComplete(const QByteArray& text, Flag& rhzl) {
    int score = 0;
    qsizetype position = 1;
    QByteArray line;
    while (score < 4 && position <= text.size()) {
        position = Memo2GetCstring(text, line, position);
        const bool complete = text[position - 2] == '\n';
        long channels = 0;
        if (complete && line.startsWith("No data")) {
            score += 2;
        } else if (line.startsWith("IIR filter")) {
            if (complete && line.contains("last output")) score += rhzl.checked() ? 1 : 2;
        } else if (LeadingNumber(line, channels) && line.contains("channels")) {
            rhzl.set(channels == 2);
        }
    }
    return score == 4;
}

} // namespace zantrel
