#pragma once

#include <QByteArray>
#include <optional>

namespace zantrel {

// The bytes of a regular file as it is when read, or nothing with why it cannot be read, as
// a sentence ("No such file or directory."). Devices, pipes and folders are refused, so that
// opening one never blocks or reads without end. The path is taken byte for byte. The bytes
// are read, never mapped: a file that another program cuts short meanwhile gives what it
// still holds rather than a crash.
std::optional<QByteArray> ReadRegularFile(const QByteArray& path, QByteArray& why);

} // namespace zantrel
