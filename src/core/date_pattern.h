#pragma once

#include <QByteArray>

#include <vector>

namespace zantrel {

// The tokens of a date format pattern, shared by the renderer and the chart's label format.

enum class Tok { Literal, DateSep, TimeSep, Year, Month, Day, Hour, Minute, Second, Milli, Marker };

struct Token {
    Tok tok;
    int count;       // letters in the run
    QByteArray text; // literal text, or the marker as written ("AM/PM", "a/p")
};

// The pattern as tokens, with m and mm after an hour token resolved to minutes.
std::vector<Token> Tokenise(const QByteArray& pattern);

// ASCII only, whatever the locale.
inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
inline bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace zantrel
