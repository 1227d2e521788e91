#include "plot/chart_label_format.h"

#include "core/date_pattern.h"

#include <algorithm>
#include <vector>

namespace zantrel {

QString ToChartLabelFormat(const QByteArray& pattern) {
    const std::vector<Token> tokens = Tokenise(pattern);
    auto classOf = [](Tok tok) {
        switch (tok) {
        case Tok::Year:
        case Tok::Month:
        case Tok::Day:
            return 1;
        case Tok::Hour:
        case Tok::Minute:
        case Tok::Second:
        case Tok::Milli:
        case Tok::Marker:
            return 2;
        default:
            return 0;
        }
    };
    // The literal run between the last field of the first kind (date or time) and the first
    // field of the other kind becomes the line break.
    size_t breakFrom = tokens.size(), breakTo = tokens.size();
    int firstClass = 0;
    size_t lastField = 0;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const int c = classOf(tokens[k].tok);
        if (c == 0) continue;
        if (firstClass == 0) {
            firstClass = c;
        } else if (c != firstClass) {
            breakFrom = lastField + 1;
            breakTo = k;
            break;
        }
        lastField = k;
    }

    static constexpr const char* kMonth[] = {"M", "MM", "MMM", "MMMM"};
    static constexpr const char* kDay[] = {"d", "dd", "ddd", "dddd"};
    QString out;
    QByteArray literal; // adjacent literal text, quoted as one piece when it holds letters
    auto flushLiteral = [&] {
        const bool needsQuotes = std::any_of(literal.begin(), literal.end(),
                                             [](char c) { return IsAsciiLetter(c) || c == '\''; });
        QString text = QString::fromLatin1(literal);
        if (needsQuotes)
            text = QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) +
                   QLatin1Char('\'');
        out += text;
        literal.clear();
    };
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (k >= breakFrom && k < breakTo) continue;
        const Token& t = tokens[k];
        if (t.tok == Tok::Literal) {
            literal += t.text;
            continue;
        }
        flushLiteral();
        if (k == breakTo) out += QLatin1Char('\n');
        const int n = std::min(t.count, 4);
        switch (t.tok) {
        case Tok::Literal:
            break;
        case Tok::DateSep:
            out += QLatin1Char('/');
            break;
        case Tok::TimeSep:
            out += QLatin1Char(':');
            break;
        case Tok::Year:
            out += QLatin1String(t.count <= 2 ? "yy" : "yyyy");
            break;
        case Tok::Month:
            out += QLatin1String(kMonth[n - 1]);
            break;
        case Tok::Day:
            out += QLatin1String(kDay[n - 1]);
            break;
        case Tok::Hour:
            out += QLatin1String(t.count == 1 ? "h" : "hh");
            break;
        case Tok::Minute:
            out += QLatin1String(t.count == 1 ? "m" : "mm");
            break;
        case Tok::Second:
            out += QLatin1String(t.count == 1 ? "s" : "ss");
            break;
        case Tok::Milli:
            out += QLatin1String(t.count <= 2 ? "z" : "zzz");
            break;
        case Tok::Marker:
            out += QLatin1String(t.text[0] == 'a' ? "ap" : "AP");
            break;
        }
    }
    flushLiteral();
    return out;
}

} // namespace zantrel
