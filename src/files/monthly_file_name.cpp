#include "files/monthly_file_name.h"

#include <QRegularExpression>

namespace zantrel {

QByteArray MonthOfFile(const QByteArray& fileName) {
    // The shortest stem that leaves a numbered piece's ending, or else one extension (the
    // plain file keeps the extension of the name chosen for the downloads).
    static const QRegularExpression kMonthly(
        R"(^(T[12]\d{4}(?:0[1-9]|1[0-2]).*?)(?:_(?:0|[1-9]\d*)\.zxl|\.(?!zxl$)[^./]*)$)");
    const QRegularExpressionMatch match = kMonthly.match(QString::fromLatin1(fileName));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

} // namespace zantrel
