#pragma once

#include <QByteArray>

namespace zantrel {

// A file written beside its target and put in its place only once all of it was written,
// so a failed write (a full disk, a lost device) leaves any earlier file of that name as it
// was. The path is taken byte for byte, whatever its encoding. Text is collected and written
// in large pieces.
class AtomicFile {
  public:
    explicit AtomicFile(const QByteArray& path);
    // Removes the file written beside the target unless it was put in place.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the file cannot be created; a name that exists and is not a regular file
    // (a folder, a device) is refused, so it is never replaced.
    bool open();
    void append(const char* data, qsizetype size);
    void append(const QByteArray& text) { append(text.constData(), text.size()); }
    // Writes what is left and closes the file beside the target. False when any write
    // failed; the partial file is then removed.
    bool finish();
    // The finished file beside the target, to be read before it is put in place.
    const QByteArray& writtenPath() const { return temporary_; }
    // Puts the finished file in the target's place.
    bool replace();
    bool commit() { return finish() && replace(); }

  private:
    void writeBuffer();
    void discard();

    QByteArray target_;
    QByteArray temporary_;
    int fd_ = -1;
    QByteArray buffer_;
    bool failed_ = false;
    bool finished_ = false;
};

} // namespace zantrel
