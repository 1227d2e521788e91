#include "core/user_info.h"

#include <algorithm>

namespace zantrel {

QByteArray ComposeUserInformation(const QByteArray& name, const QByteArray& location,
                                  const QByteArray& id, const QByteArray& softwareVersion) {
    return "~User Name: " + name + "\r\n~User Location: " + location + "\r\n~ZL ID: " + id +
           "\r\n~PC Software Version: " + softwareVersion + "\r\n";
}

std::array<QByteArray, 4> ExtractUserInformation(const QByteArray& text, int count) {
    std::array<QByteArray, 4> values;
    const int wanted = std::min(count, 4);
    int found = 0;
    qsizetype start = 0;
    while (found < wanted && start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArray line = text.mid(start, end - start);
        if (const qsizetype at = line.indexOf(": "); at >= 0) values[found++] = line.mid(at + 2);
        start = end + 1;
    }
    return values;
}

QByteArray CaptionBase(const QByteArray& caption) {
    const qsizetype bar = caption.indexOf(" |");
    return bar < 0 ? caption : caption.left(bar);
}

} // namespace zantrel
