#include "files/scrambling.h"

namespace zantrel {

namespace {

// The result of stepping c up k times, where a step adds one (in 8 bits) and a value that
// then exceeds 126 becomes 32: a rotation within 32..126, reached in closed form.
char Rotate(char c, long k) {
    if (k <= 0) return c;
    int d = static_cast<signed char>(c);
    if (d == 127) { // the first step wraps the byte round to -128
        d = -128;
        --k;
    }
    if (d < 32) { // climbs one by one until it passes 126
        const long toWrap = 127 - d;
        if (k < toWrap) return static_cast<char>(d + k);
        k -= toWrap;
        d = 32;
    }
    return static_cast<char>(32 + (d - 32 + k) % 95);
}

// The result of stepping c down k times, where a step subtracts one and a value that then
// falls below 32 becomes 126.
char Unrotate(char c, long k) {
    if (k <= 0) return c;
    int d = static_cast<signed char>(c);
    if (d == -128) { // the first step wraps the byte round to 127
        d = 127;
        if (--k == 0) return static_cast<char>(d);
    }
    if (d < 32 || d > 126) { // the next step lands on 126
        d = 126;
        --k;
    }
    return static_cast<char>(32 + ((d - 32 - k) % 95 + 95) % 95);
}

} // namespace

char ScrambleCharacter(ScrambleState& state, char c) {
    state.stepColumn();
    const long k = static_cast<long>(state.line) + state.column + state.previous;
    const char d = Rotate(c, k);
    state.previous = static_cast<signed char>(d);
    return d;
}

QByteArray ScrambleLine(ScrambleState& state, const QByteArray& plain) {
    QByteArray out;
    out.reserve(plain.size());
    for (char c : plain)
        out += ScrambleCharacter(state, c);
    state.stepColumn();
    state.stepLine();
    return out;
}

QByteArray UnscrambleLine(ScrambleState& state, const QByteArray& scrambled) {
    QByteArray out;
    const qsizetype m = scrambled.size() < 255 ? scrambled.size() : 254;
    out.reserve(m);
    for (qsizetype i = 0; i < m; ++i) {
        state.stepColumn();
        const long k = static_cast<long>(state.line) + state.column + state.previous;
        out += Unrotate(scrambled[i], k);
        state.previous = static_cast<signed char>(scrambled[i]);
    }
    state.stepColumn();
    state.stepLine();
    return out;
}

} // namespace zantrel
