#pragma once

#include <QByteArray>

#include <cstdint>

namespace zantrel {

class ArchiveRows;
struct ArchiveReading;

// A text form of the exports: an optional header line, then text for each reading of each
// file in turn.
class TextExportFormat {
  public:
    virtual ~TextExportFormat() = default;
    // What goes before the first file's readings; may be empty.
    virtual QByteArray header() const = 0;
    // Called before the readings of each file.
    virtual void startFile(const ArchiveRows& file) = 0;
    // Appends the reading's text, if the format writes any for it.
    virtual void append(QByteArray& out, const ArchiveReading& reading) const = 0;
};

// A value as the shortest text that reads back as the same 32-bit float: "20.5", "-3", "0.1".
void AppendFloat(QByteArray& out, float value);
// The double nearest to that shortest text: 20.1f as 20.1, not 20.100000381469727, for
// formats that store doubles.
double ShortestDouble(float value);

} // namespace zantrel
