#pragma once

#include <QByteArray>
#include <QString>

namespace zantrel {

// "Cannot write PATH: REASON.", the reason being that the path names a folder or the system's
// word for the last failure ("No space left on device", "Permission denied").
QString CannotWriteText(const QByteArray& path);

} // namespace zantrel
