#pragma once

#include "archive/text_export.h"

namespace zantrel {

// Long CSV after RFC 4180: the header "time_utc,local_time,unit,location,channel,celsius,rh,gap"
// and one row per reading, lines ended by CR LF. A field holding a comma, a quote or a line
// break is quoted, its quotes doubled. time_utc is ISO-8601 ending in "Z", local_time the file's
// own text; celsius is empty for a gap, rh empty for a gap or a channel without humidity;
// gap is 1 for a gap, else 0.
class LongCsvExport : public TextExportFormat {
  public:
    QByteArray header() const override;
    void startFile(const ArchiveRows& file) override;
    void append(QByteArray& out, const ArchiveReading& reading) const override;

  private:
    QByteArray fileFields_; // ",unit,location,channel," of the current file
};

// A field as RFC 4180 has it: quoted only when it holds a comma, a quote, CR or LF.
QByteArray CsvField(const QByteArray& value);

} // namespace zantrel
