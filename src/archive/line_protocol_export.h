#pragma once

#include "archive/text_export.h"

namespace zantrel {

// InfluxDB line protocol: one line per reading with a value, "zantrel,channel=1,location=Lab\ 2,
// unit=17 celsius=20.5,rh=45 1262300370000000000", the tags in key order with commas, spaces and
// equals signs escaped by a backslash, a tag without a value left out, the fields as floats (rh
// only with humidity) and the time in nanoseconds since 1970 in UTC. A gap has no value to
// write, so it has no line: it is a hole in the series as it is in the chart.
class LineProtocolExport : public TextExportFormat {
  public:
    QByteArray header() const override { return {}; }
    void startFile(const ArchiveRows& file) override;
    void append(QByteArray& out, const ArchiveReading& reading) const override;

  private:
    QByteArray series_; // the measurement and tags of the current file, then a space
};

// A tag value with the line protocol's escapes.
QByteArray LineProtocolTagValue(const QByteArray& value);

} // namespace zantrel
