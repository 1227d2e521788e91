#include "files/line_unscrambler.h"

#include <algorithm>

namespace zantrel {

namespace {

constexpr int kPrintable = 95; // the characters 32..126

// The inverse rotation: c stepped down k times within 32..126, where a character outside
// that range lands on 126 at the first step.
char Unrotate(signed char c, int k) {
    if (k <= 0) return static_cast<char>(c);
    int d = c;
    if (d < 32 || d > 126) {
        d = 126;
        --k;
    }
    // k is at most 13 + 11 + 127, under two turns of the range.
    if (k >= kPrintable) k -= kPrintable;
    int v = d - 32 - k;
    if (v < 0) v += kPrintable;
    return static_cast<char>(32 + v);
}

} // namespace

void LineUnscrambler::unscramble(std::string_view scrambled, std::string& out) {
    const std::size_t m = std::min<std::size_t>(scrambled.size(), 254);
    out.resize(m);
    signed char previous = state_.previous;
    int column = state_.column;
    const int line = state_.line;
    for (std::size_t i = 0; i < m; ++i) {
        column = column == 11 ? 3 : column + 1;
        const auto e = static_cast<signed char>(scrambled[i]);
        out[i] = Unrotate(e, line + column + previous);
        previous = e;
    }
    state_.previous = previous;
    state_.column = column;
    state_.stepColumn();
    state_.stepLine();
}

} // namespace zantrel
