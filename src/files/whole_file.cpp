#include "files/whole_file.h"

#include <QFileInfo>

namespace zantrel {

bool WholeFile::open(const QByteArray& path) {
    const QString name = QFile::decodeName(path);
    if (!QFileInfo(name).isFile()) return false;
    file_.setFileName(name);
    if (!file_.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file_.size();
    if (size == 0) return true;
    if (uchar* mapped = file_.map(0, size)) {
        bytes_ = std::string_view(reinterpret_cast<const char*>(mapped), static_cast<size_t>(size));
        return true;
    }
    copy_ = file_.readAll();
    bytes_ = std::string_view(copy_.constData(), static_cast<size_t>(copy_.size()));
    return true;
}

} // namespace zantrel
