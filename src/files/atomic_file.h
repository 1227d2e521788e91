#pragma once

#include <QByteArray>
#include <QSaveFile>

namespace zantrel {

// A file written beside its target and put in its place only once all of it was written,
// so a failed write (a full disk, a lost device) leaves any earlier file of that name as it
// was. Text is collected and written in large pieces.
class AtomicFile {
  public:
    explicit AtomicFile(const QByteArray& path);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the file cannot be created; a name that exists and is not a regular file
    // (a folder, a device) is refused, so it is never replaced.
    bool open();
    void append(const char* data, qsizetype size);
    void append(const QByteArray& text) { append(text.constData(), text.size()); }
    // Writes what is left and replaces the target. False when any write failed; the target
    // is then untouched and the partial file removed.
    bool commit();

  private:
    void writeBuffer();

    QSaveFile file_;
    QByteArray buffer_;
    bool failed_ = false;
};

} // namespace zantrel
