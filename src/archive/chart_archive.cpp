#include "archive/chart_archive.h"

#include "archive/archive_rows.h"
#include "archive/archive_schema.h"
#include "files/chart_file_parse.h"
#include "files/chart_merge.h"
#include "files/regular_file.h"

namespace zantrel {

ChartArchive::ChartArchive(const ArchiveUrl& url) : database_(url) {
    failure_ = database_.failure();
    if (failure_.isEmpty()) failure_ = PrepareArchiveSchema(database_);
    if (failure_.isEmpty()) writer_ = std::make_unique<ArchiveWriter>(database_);
}

ChartArchive::~ChartArchive() = default;

FileArchived ChartArchive::archiveFile(const QByteArray& path, const UtcOffsetRule& rule,
                                       int64_t nowMs, int currentYear) {
    FileArchived result;
    result.file = FileNameOf(path);
    if (!writer_) {
        result.failure = failure_;
        return result;
    }
    QByteArray why;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, why);
    if (!bytes) {
        result.failure = QString::fromUtf8("Cannot open file. " + why);
        return result;
    }
    const ChartParse parse =
        ParseChartFile(std::string_view(bytes->constData(), bytes->size()), currentYear);
    if (!parse.chart) {
        result.failure = QString::fromUtf8(parse.failure);
        return result;
    }
    const ArchiveRows rows(*parse.chart, path, rule);
    result.readings = int64_t(rows.size());
    result.offsetSeconds = rows.offsetSeconds();
    const ArchiveWrite write = writer_->write(rows, nowMs);
    result.added = write.added;
    result.failure = write.failure;
    return result;
}

} // namespace zantrel
