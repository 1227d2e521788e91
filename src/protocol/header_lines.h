#pragma once

#include <QByteArray>

namespace zantrel {

// Copies the line that starts at the 1-based position of text: the characters up to (not
// including) the next CR or the end, at most size - 1 of them. Then skips one CR if one
// follows and after that one LF if one follows, and returns the position reached. A
// position beyond the end gives an empty line and returns the position unchanged.
inline qsizetype Memo2GetCstring(const QByteArray& text, QByteArray& line, qsizetype position,
                                 qsizetype size = 256) {
    line.clear();
    qsizetype i = position - 1;
    if (i < 0 || i >= text.size()) return position;
    while (i < text.size() && text[i] != '\r' && line.size() < size - 1)
        line += text[i++];
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
    return i + 1;
}

} // namespace zantrel
