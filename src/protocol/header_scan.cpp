#include "protocol/header_scan.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zantrel {

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

template <typename T> QByteArray CharsOf(T value, std::chars_format format) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return QByteArray(buffer, result.ptr - buffer);
}

// Plain digits for everyday magnitudes, an exponent only for very large or small ones.
template <typename T> QByteArray Shortest(T value) {
    const T magnitude = std::fabs(value);
    const bool plain = magnitude == 0 || (magnitude >= T(1e-5) && magnitude < T(1e15));
    return CharsOf(value, plain ? std::chars_format::fixed : std::chars_format::general);
}

} // namespace

void LineScanner::skipSpace() {
    while (pos_ < line_.size() && IsSpace(line_[pos_]))
        ++pos_;
}

bool LineScanner::peekDigit(qsizetype at) const {
    return at < line_.size() && IsDigit(line_[at]);
}

bool LineScanner::match(const char* pattern) {
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p == ' ') {
            skipSpace();
        } else if (pos_ < line_.size() && line_[pos_] == *p) {
            ++pos_;
        } else {
            return false;
        }
    }
    return true;
}

bool LineScanner::integer(int& value) {
    skipSpace();
    qsizetype p = pos_;
    bool negative = false;
    if (p < line_.size() && (line_[p] == '+' || line_[p] == '-')) negative = line_[p++] == '-';
    if (!peekDigit(p)) return false;
    int64_t magnitude = 0;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int>::max()) + 1;
    while (peekDigit(p)) {
        magnitude = magnitude * 10 + (line_[p++] - '0');
        if (magnitude > kLimit) return false;
    }
    if (!negative && magnitude == kLimit) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    pos_ = p;
    return true;
}

bool LineScanner::real(double& value) {
    skipSpace();
    qsizetype p = pos_;
    if (p < line_.size() && (line_[p] == '+' || line_[p] == '-')) ++p;
    // from_chars takes no leading "+".
    const qsizetype numberStart = (pos_ < line_.size() && line_[pos_] == '+') ? pos_ + 1 : pos_;
    int digits = 0;
    while (peekDigit(p))
        ++p, ++digits;
    if (p < line_.size() && line_[p] == '.') {
        ++p;
        while (peekDigit(p))
            ++p, ++digits;
    }
    if (digits == 0) return false;
    if (p < line_.size() && (line_[p] == 'e' || line_[p] == 'E')) {
        qsizetype e = p + 1;
        if (e < line_.size() && (line_[e] == '+' || line_[e] == '-')) ++e;
        if (peekDigit(e)) {
            while (peekDigit(e))
                ++e;
            p = e;
        }
    }
    double parsed = 0;
    const char* first = line_.constData() + numberStart;
    const char* last = line_.constData() + p;
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    pos_ = p;
    return true;
}

bool LineScanner::hex(uint32_t& value) {
    skipSpace();
    qsizetype p = pos_;
    bool negative = false;
    if (p < line_.size() && (line_[p] == '+' || line_[p] == '-')) negative = line_[p++] == '-';
    if (p + 2 < line_.size() && line_[p] == '0' && (line_[p + 1] == 'x' || line_[p + 1] == 'X') &&
        HexDigit(line_[p + 2]) >= 0)
        p += 2;
    if (p >= line_.size() || HexDigit(line_[p]) < 0) return false;
    uint64_t magnitude = 0;
    while (p < line_.size() && HexDigit(line_[p]) >= 0) {
        magnitude = magnitude * 16 + static_cast<uint64_t>(HexDigit(line_[p++]));
        if (magnitude > std::numeric_limits<uint32_t>::max()) return false;
    }
    const auto bits = static_cast<uint32_t>(magnitude);
    value = negative ? 0u - bits : bits;
    pos_ = p;
    return true;
}

bool LineScanner::word(QByteArray& value) {
    skipSpace();
    const qsizetype start = pos_;
    while (pos_ < line_.size() && !IsSpace(line_[pos_]))
        ++pos_;
    if (pos_ == start) return false;
    value = line_.mid(start, pos_ - start);
    return true;
}

std::optional<double> ReadDecimalField(const QByteArray& field) {
    LineScanner scanner(field.trimmed());
    double value = 0;
    if (!scanner.real(value) || !scanner.atEnd()) return std::nullopt;
    return value;
}

std::optional<int> ReadIntegerField(const QByteArray& field) {
    LineScanner scanner(field.trimmed());
    int value = 0;
    if (!scanner.integer(value) || !scanner.atEnd()) return std::nullopt;
    return value;
}

std::optional<float> FiniteFloat(double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

QByteArray ShortestText(float value) {
    return Shortest(value);
}
QByteArray ShortestText(double value) {
    return Shortest(value);
}

} // namespace zantrel
