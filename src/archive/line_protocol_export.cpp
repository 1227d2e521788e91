#include "archive/line_protocol_export.h"

#include "archive/archive_rows.h"

namespace zantrel {

QByteArray LineProtocolTagValue(const QByteArray& value) {
    QByteArray escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        if (c == ',' || c == ' ' || c == '=') escaped.append('\\');
        escaped.append(c);
    }
    return escaped;
}

void LineProtocolExport::startFile(const ArchiveRows& file) {
    series_ = "zantrel,channel=" + QByteArray::number(file.channel());
    if (!file.location().isEmpty()) series_ += ",location=" + LineProtocolTagValue(file.location());
    if (!file.unit().isEmpty()) series_ += ",unit=" + LineProtocolTagValue(file.unit());
    series_ += ' ';
}

void LineProtocolExport::append(QByteArray& out, const ArchiveReading& reading) const {
    if (reading.gap()) return;
    out.append(series_);
    out.append("celsius=");
    AppendFloat(out, *reading.celsius);
    if (reading.rh) {
        out.append(",rh=");
        AppendFloat(out, *reading.rh);
    }
    out.append(' ');
    out.append(QByteArray::number(qint64(reading.utcMs) * 1000000));
    out.append('\n');
}

} // namespace zantrel
