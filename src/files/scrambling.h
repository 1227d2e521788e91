#pragma once

#include <QByteArray>

namespace zantrel {

// The character every scrambling state starts from. Fixed for good: duplicates written by
// one version of the program must load in every later one.
inline constexpr char kScrambleSeed = 'Z';

// The chained rotation that scrambles the lines of an encrypted duplicate. The state runs
// across a whole file: the previous scrambled character, a line counter (0..13) and a
// column counter (3..11) that steps once per character, line ends included.
struct ScrambleState {
    signed char previous = kScrambleSeed;
    int line = 0;
    int column = 3;

    void stepColumn() { column = column + 1 == 12 ? 3 : column + 1; }
    void stepLine() { line = line + 1 == 14 ? 0 : line + 1; }
};

// Steps the column and scrambles one character that is not a line end: a rotation by
// line + column + previous within the printable characters 32..126.
char ScrambleCharacter(ScrambleState& state, char c);

// Scrambles a whole line (without its line end) and steps past the line end.
QByteArray ScrambleLine(ScrambleState& state, const QByteArray& plain);

// Reads back a scrambled line (without its "?" marker and line end), at most 255
// positions of it, and steps past the line end.
QByteArray UnscrambleLine(ScrambleState& state, const QByteArray& scrambled);

} // namespace zantrel
