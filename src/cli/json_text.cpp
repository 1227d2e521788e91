#include "cli/json_text.h"

#include "core/calendar.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zantrel {

namespace {

void PutDigits(std::string& s, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    s.append(digits, width);
}

} // namespace

void PutNumber(std::string& s, float value) {
    char digits[32];
    s.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void PutNumber(std::string& s, double value) {
    if (!std::isfinite(value)) {
        s += "null";
        return;
    }
    char digits[32];
    s.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void PutTime(std::string& s, double t, bool quoted) {
    const auto f = DecodeDateTime(RoundToSecond(t));
    if (!f) {
        s += "null";
        return;
    }
    if (quoted) s += '"';
    PutDigits(s, f->year, 4);
    s += '-';
    PutDigits(s, f->month, 2);
    s += '-';
    PutDigits(s, f->day, 2);
    s += 'T';
    PutDigits(s, f->hour, 2);
    s += ':';
    PutDigits(s, f->minute, 2);
    s += ':';
    PutDigits(s, f->second, 2);
    if (quoted) s += '"';
}

namespace {

// Bytes from 0x80 up are Latin-1 characters, or copied as they are when the text is UTF-8.
void PutEscaped(std::string& s, const QByteArray& text, bool utf8) {
    s += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            s += escaped;
        } else if (byte < 0x80 || utf8) {
            s += c;
        } else {
            s += static_cast<char>(0xC0 | (byte >> 6));
            s += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    s += '"';
}

} // namespace

void PutString(std::string& s, const QByteArray& latin1) {
    PutEscaped(s, latin1, false);
}

void PutPath(std::string& s, const QByteArray& path) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8(path);
    PutEscaped(s, path, !utf8.hasError());
}

void PutField(std::string& s, const char* name, const QByteArray& latin1) {
    s += '"';
    s += name;
    s += "\": ";
    PutString(s, latin1);
}

} // namespace zantrel
