#include "cli/auto_archive.h"

#include "archive/chart_archive.h"
#include "cli/archive_target.h"
#include "cli/cli.h"
#include "core/calendar.h"
#include "files/month_pieces.h"
#include "files/monthly_files.h"

namespace zantrel {

namespace {

// Midnight of the first day of t's month.
double MonthStart(double t) {
    const auto fields = DecodeDateTime(t);
    return fields ? EncodeDate(fields->year, fields->month, 1).value_or(t) : t;
}

} // namespace

AutoArchive::AutoArchive(const ArchiveUrl& url, const UtcOffsetRule& rule, CliContext& context)
    : url_(url), rule_(rule), context_(context) {}

void AutoArchive::archiveDownload(const QByteArray& base, int channel, double from, double to) {
    ChartArchive archive(url_);
    QString failure = archive.failure();
    int64_t added = 0;
    const int64_t now = CliNowUtcMs(context_);
    const int year = CliCurrentYear(context_);
    const double firstMonth = MonthStart(from);
    // From the download's last month back through its first, then further back while a month
    // still brings readings the archive lacks: downloads stored while it could not be written.
    for (double month = MonthStart(to); failure.isEmpty(); month = AddMonths(month, -1)) {
        const QByteArray name = MonthlyFiles::MonthlyFileName(base, channel, month);
        const QList<QByteArray> pieces = MonthPieces(name);
        const bool catchingUp = month < firstMonth;
        if (catchingUp && pieces.isEmpty()) break;
        int64_t monthAdded = 0;
        for (const QByteArray& piece : pieces) {
            const FileArchived done = archive.archiveFile(piece, rule_, now, year);
            monthAdded += done.added;
            if (!done.failure.isEmpty()) {
                failure = QString::fromUtf8(done.file) + ": " + done.failure;
                break;
            }
        }
        added += monthAdded;
        if (catchingUp && monthAdded == 0) break;
    }
    if (failure.isEmpty())
        context_.err << "Archive written: " << added << " new readings." << std::endl;
    else
        context_.err << "ARCHIVE NOT WRITTEN: " << failure.toStdString()
                     << "; will retry at the next download." << std::endl;
}

} // namespace zantrel
