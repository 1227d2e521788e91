#pragma once

#include <QByteArray>
#include <QFile>
#include <string_view>

namespace zantrel {

// The whole content of a regular file, mapped into memory (or read at once where it cannot be
// mapped), for reading without a copy per line. Devices, pipes and folders are refused, so
// that opening one never blocks or reads without end.
class WholeFile {
  public:
    WholeFile() = default;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // False when the path names no readable regular file.
    bool open(const QByteArray& path);
    std::string_view bytes() const { return bytes_; }

  private:
    QFile file_;
    QByteArray copy_;
    std::string_view bytes_;
};

} // namespace zantrel
