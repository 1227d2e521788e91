#include "core/date_pattern.h"

#include <algorithm>

namespace zantrel {

namespace {

bool MatchesIgnoringCase(const QByteArray& s, qsizetype at, const char* word) {
    for (qsizetype k = 0; word[k] != '\0'; ++k) {
        if (at + k >= s.size() || Lower(s[at + k]) != word[k]) return false;
    }
    return true;
}

} // namespace

std::vector<Token> Tokenise(const QByteArray& pattern) {
    std::vector<Token> tokens;
    char lastLetter = 0; // the previous letter token, after the month/minute decision
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            qsizetype close = pattern.indexOf(c, i + 1);
            if (close < 0) close = n;
            tokens.push_back({Tok::Literal, 0, pattern.mid(i + 1, close - i - 1)});
            i = std::min(close + 1, n);
            continue;
        }
        if (c == '/' || c == ':') {
            tokens.push_back({c == '/' ? Tok::DateSep : Tok::TimeSep, 1, {}});
            ++i;
            continue;
        }
        if (!IsAsciiLetter(c)) {
            tokens.push_back({Tok::Literal, 0, QByteArray(1, c)});
            ++i;
            continue;
        }
        const char lc = Lower(c);
        if (lc == 'a') {
            const int len = MatchesIgnoringCase(pattern, i, "am/pm") ? 5
                            : MatchesIgnoringCase(pattern, i, "a/p") ? 3
                                                                     : 0;
            if (len > 0) {
                tokens.push_back({Tok::Marker, len, pattern.mid(i, len)});
                lastLetter = 'a';
                i += len;
                continue;
            }
        }
        int count = 1;
        while (i + count < n && Lower(pattern[i + count]) == lc)
            ++count;
        char resolved = lc;
        Tok tok = Tok::Literal;
        switch (lc) {
        case 'y':
            tok = Tok::Year;
            break;
        case 'm':
            if (lastLetter == 'h') {
                tok = Tok::Minute;
                resolved = 'n';
            } else {
                tok = Tok::Month;
            }
            break;
        case 'n':
            tok = Tok::Minute;
            break;
        case 'd':
            tok = Tok::Day;
            break;
        case 'h':
            tok = Tok::Hour;
            break;
        case 's':
            tok = Tok::Second;
            break;
        case 'z':
            tok = Tok::Milli;
            break;
        default:
            break;
        }
        tokens.push_back({tok, count, tok == Tok::Literal ? pattern.mid(i, count) : QByteArray()});
        lastLetter = resolved;
        i += count;
    }
    return tokens;
}

} // namespace zantrel
