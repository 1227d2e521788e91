#include "archive/long_csv_export.h"

#include "archive/archive_rows.h"
#include "archive/utc_offset.h"

namespace zantrel {

QByteArray CsvField(const QByteArray& value) {
    if (!value.contains(',') && !value.contains('"') && !value.contains('\r') &&
        !value.contains('\n'))
        return value;
    QByteArray quoted = value;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

QByteArray LongCsvExport::header() const {
    return "time_utc,local_time,unit,location,channel,celsius,rh,gap\r\n";
}

void LongCsvExport::startFile(const ArchiveRows& file) {
    fileFields_ = ',' + CsvField(file.unit()) + ',' + CsvField(file.location()) + ',' +
                  QByteArray::number(file.channel()) + ',';
}

void LongCsvExport::append(QByteArray& out, const ArchiveReading& reading) const {
    AppendUtcIso(out, reading.utcMs);
    out.append(',');
    out.append(CsvField(*reading.localTime));
    out.append(fileFields_);
    if (reading.celsius) AppendFloat(out, *reading.celsius);
    out.append(',');
    if (reading.rh) AppendFloat(out, *reading.rh);
    out.append(reading.gap() ? ",1\r\n" : ",0\r\n");
}

} // namespace zantrel
