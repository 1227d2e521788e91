#include "core/user_info.h"

namespace zantrel {

QByteArray ComposeUserInformation(const QByteArray& name, const QByteArray& location,
                                  const QByteArray& id, const QByteArray& softwareVersion) {
    return "~User Name: " + name + "\r\n~User Location: " + location + "\r\n~ZL ID: " + id +
           "\r\n~PC Software Version: " + softwareVersion + "\r\n";
}

std::array<QByteArray, 4> ExtractUserInformation(const QByteArray& text, int count) {
    std::array<QByteArray, 4> values;
    QByteArray work = text;
    for (int k = 0; k < count && k < 4; ++k) {
        const qsizetype at = work.indexOf(": ");
        QByteArray value = at < 0 ? QByteArray() : work.mid(at + 2);
        const qsizetype colon = work.indexOf(':');
        if (colon >= 0) work[colon] = ' ';
        const qsizetype lf = value.indexOf('\n');
        if (lf >= 0) value.truncate(lf);
        const qsizetype cr = value.indexOf('\r');
        if (cr >= 0) value.truncate(cr);
        values[k] = value;
    }
    return values;
}

QByteArray CaptionBase(const QByteArray& caption) {
    const qsizetype bar = caption.indexOf(" |");
    return bar < 0 ? caption : caption.left(bar);
}

} // namespace zantrel
