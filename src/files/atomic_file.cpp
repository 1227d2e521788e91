#include "files/atomic_file.h"

#include <QFileInfo>

namespace zantrel {

namespace {

// Written once the buffer holds this much; the buffer has room for twice as much, so the
// appends in between never reallocate it.
constexpr qsizetype kChunk = 1 << 20;

} // namespace

AtomicFile::AtomicFile(const QByteArray& path) : file_(QFile::decodeName(path)) {}

bool AtomicFile::open() {
    const QFileInfo target(file_.fileName());
    if (file_.fileName().isEmpty() || (target.exists() && !target.isFile())) return false;
    if (!file_.open(QIODevice::WriteOnly)) return false;
    buffer_.reserve(2 * kChunk);
    return true;
}

void AtomicFile::append(const char* data, qsizetype size) {
    buffer_.append(data, size);
    if (buffer_.size() >= kChunk) writeBuffer();
}

void AtomicFile::writeBuffer() {
    if (!failed_ && !buffer_.isEmpty() && file_.write(buffer_) != buffer_.size()) failed_ = true;
    buffer_.resize(0);
}

bool AtomicFile::commit() {
    writeBuffer();
    // A small file may still sit in the device's own buffer, and QSaveFile::commit() does
    // not notice when writing that out falls short (a full disk).
    if (!failed_ && !file_.flush()) failed_ = true;
    if (failed_) {
        file_.cancelWriting();
        file_.commit();
        return false;
    }
    return file_.commit();
}

} // namespace zantrel
