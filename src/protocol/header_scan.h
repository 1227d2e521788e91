#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <utility>

namespace zantrel {

// Reads the items of one header line the way a scanf pattern does: a blank in a pattern
// matches any run of white space (also none), other characters must match exactly, and every
// number skips the white space before it. Numbers always use "." as decimal point, whatever
// the locale. Nothing is read past the end of the line; a number that overflows its type or
// is not finite counts as not read.
class LineScanner {
  public:
    explicit LineScanner(QByteArray line) : line_(std::move(line)) {}

    // The pattern's characters at the current position (blanks as described above).
    bool match(const char* pattern);
    // A decimal integer with an optional sign ("%d").
    bool integer(int& value);
    // A decimal number with optional sign, fraction and exponent ("%f").
    bool real(double& value);
    // Hexadecimal digits, optionally after a sign and "0x" ("%x"); a minus negates modulo 2^32.
    bool hex(uint32_t& value);
    // A run of characters other than white space ("%s").
    bool word(QByteArray& value);
    bool atEnd() const { return pos_ >= line_.size(); }

  private:
    void skipSpace();
    bool peekDigit(qsizetype at) const;

    QByteArray line_;
    qsizetype pos_ = 0;
};

// The whole field (blanks around it allowed) as a decimal number, or nothing.
std::optional<double> ReadDecimalField(const QByteArray& field);
// The whole field (blanks around it allowed) as a decimal integer, or nothing.
std::optional<int> ReadIntegerField(const QByteArray& field);

// value as a float when it is finite as a float.
std::optional<float> FiniteFloat(double value);

// The shortest decimal text that reads back as exactly this value (240 gives "240").
QByteArray ShortestText(float value);
QByteArray ShortestText(double value);

} // namespace zantrel
