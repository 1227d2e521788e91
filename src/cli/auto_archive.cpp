#include "cli/auto_archive.h"

#include "archive/chart_archive.h"
#include "cli/archive_target.h"
#include "cli/cli.h"
#include "files/month_pieces.h"
#include "files/monthly_files.h"

namespace zantrel {

AutoArchive::AutoArchive(const ArchiveUrl& url, const UtcOffsetRule& rule, CliContext& context)
    : url_(url), rule_(rule), context_(context) {}

void AutoArchive::archiveDownload(const QByteArray& base, int channel, double from, double to) {
    QList<QByteArray> files;
    for (const double t : {from, to}) {
        const QByteArray month = MonthlyFiles::MonthlyFileName(base, channel, t);
        for (const QByteArray& piece : MonthPieces(month))
            if (!files.contains(piece)) files.append(piece);
    }
    ChartArchive archive(url_);
    QString failure = archive.failure();
    int64_t added = 0;
    const int64_t now = CliNowUtcMs(context_);
    const int year = CliCurrentYear(context_);
    for (qsizetype i = 0; i < files.size() && failure.isEmpty(); ++i) {
        const FileArchived done = archive.archiveFile(files[i], rule_, now, year);
        added += done.added;
        if (!done.failure.isEmpty()) failure = QString::fromUtf8(done.file) + ": " + done.failure;
    }
    if (failure.isEmpty())
        context_.err << "Archive written: " << added << " new readings." << std::endl;
    else
        context_.err << "ARCHIVE NOT WRITTEN: " << failure.toStdString()
                     << "; will retry at the next download." << std::endl;
}

} // namespace zantrel
