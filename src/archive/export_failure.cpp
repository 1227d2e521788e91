#include "archive/export_failure.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace zantrel {

QString CannotWriteText(const QByteArray& path) {
    const int error = errno;
    struct stat st {};
    QString reason;
    if (::stat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        reason = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
    else
        reason = QString::fromLocal8Bit(std::strerror(error ? error : EIO));
    return QString("Cannot write %1: %2.").arg(QString::fromLocal8Bit(path), reason);
}

} // namespace zantrel
