#include "files/regular_file.h"

#include <QFile>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zantrel {

namespace {

// The system's reason, as a sentence.
QByteArray Sentence(const std::string& reason) {
    QByteArray text = QByteArray::fromStdString(reason);
    if (!text.isEmpty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + '.';
}

} // namespace

std::optional<QByteArray> ReadRegularFile(const QByteArray& path, QByteArray& why) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        why = Sentence(std::system_category().message(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? Sentence(std::system_category().message(EISDIR))
                                  : QByteArray("Not a regular file.");
        ::close(fd);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        why = Sentence(file.errorString().toStdString());
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        why = Sentence(file.errorString().toStdString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace zantrel
