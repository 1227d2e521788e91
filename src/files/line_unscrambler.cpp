#include "files/line_unscrambler.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zantrel {

namespace {

constexpr int kPrintable = 95; // the characters 32..126

// kColumns[n] is the column counter after n + 1 steps from 3: the cycle 4..11, 3 over the
// longest line, from any start.
constexpr auto kColumns = [] {
    std::array<signed char, 9 + 255> table{};
    for (int n = 0; n < static_cast<int>(table.size()); ++n)
        table[n] = static_cast<signed char>(3 + (n + 1) % 9);
    return table;
}();

// The character at shift k from a printable e, with k from 1 to 189, in 8-bit arithmetic so
// that the compiler can unscramble sixteen characters at once.
inline char UsualUnrotate(uint8_t e, uint8_t k) {
    const auto k95 = static_cast<uint8_t>(k >= kPrintable ? k - kPrintable : k);
    auto v = static_cast<uint8_t>(e - 32 - k95); // -94..94 as a signed byte
    if (static_cast<int8_t>(v) < 0) v = static_cast<uint8_t>(v + kPrintable);
    return static_cast<char>(v + 32);
}

bool Printable(uint8_t e) {
    return static_cast<uint8_t>(e - 32) < kPrintable;
}

} // namespace

void LineUnscrambler::unscramble(std::string_view scrambled, std::string& out) {
    const std::size_t m = std::min<std::size_t>(scrambled.size(), 254);
    out.resize(m);
    // Plain pointers and locals: a store through a char may alias anything, so members and
    // the string's own pointer would be read again on every character.
    char* dst = out.data();
    const char* src = scrambled.data();
    const signed char* columns = kColumns.data() + (state_.column - 3);
    const int line = state_.line;
    // First as if every character were printable, as in any file the program wrote: then every
    // shift is from 1 to 13 + 11 + 127. A line with any other byte is read again below.
    int unusual = 0;
    if (m > 0) {
        const auto e = static_cast<uint8_t>(src[0]);
        const int k = line + columns[0] + state_.previous;
        dst[0] = UsualUnrotate(e, static_cast<uint8_t>(k));
        unusual = k <= 0 || !Printable(e);
    }
    for (std::size_t i = 1; i < m; ++i) {
        const auto e = static_cast<uint8_t>(src[i]);
        const auto k = static_cast<uint8_t>(line + columns[i] + static_cast<uint8_t>(src[i - 1]));
        dst[i] = UsualUnrotate(e, k);
        unusual |= !Printable(e);
    }
    if (unusual) { // bytes the program never writes: the reference transform reads them
        const QByteArray plain = UnscrambleLine(
            state_, QByteArray::fromRawData(src, static_cast<qsizetype>(scrambled.size())));
        out.assign(plain.constData(), static_cast<std::size_t>(plain.size()));
        return;
    }
    if (m > 0) {
        state_.previous = static_cast<signed char>(src[m - 1]);
        state_.column = columns[m - 1];
    }
    state_.stepColumn();
    state_.stepLine();
}

} // namespace zantrel
