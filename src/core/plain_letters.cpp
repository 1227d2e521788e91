#include "core/plain_letters.h"

namespace zantrel {

namespace {

// Letters that carry no decomposition to plain letters of their own.
const char* Spelled(char16_t c) {
    switch (c) {
    case u'ß':
        return "ss";
    case u'ẞ':
        return "SS";
    case u'Æ':
        return "AE";
    case u'æ':
        return "ae";
    case u'Œ':
        return "OE";
    case u'œ':
        return "oe";
    case u'Ø':
        return "O";
    case u'ø':
        return "o";
    case u'Ł':
        return "L";
    case u'ł':
        return "l";
    case u'Đ':
    case u'Ð':
        return "D";
    case u'đ':
    case u'ð':
        return "d";
    case u'Þ':
        return "Th";
    case u'þ':
        return "th";
    case u'ı':
        return "i";
    case u'Ħ':
        return "H";
    case u'ħ':
        return "h";
    default:
        return nullptr;
    }
}

// The plain ASCII letters a letter decomposes into with its marks left off, or nothing.
QString Decomposed(QChar letter) {
    QString plain;
    for (const QChar part : QString(letter).normalized(QString::NormalizationForm_KD)) {
        if (part.isMark()) continue;
        if (part.unicode() >= 0x80 || !part.isLetter()) return {};
        plain += part;
    }
    return plain;
}

} // namespace

QString PlainLetters(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x80 || !c.isLetter()) {
            out += c;
        } else if (const char* spelled = Spelled(c.unicode())) {
            out += QLatin1String(spelled);
        } else {
            const QString plain = Decomposed(c);
            out += plain.isEmpty() ? QString(c) : plain;
        }
    }
    return out;
}

} // namespace zantrel
