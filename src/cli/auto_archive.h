#pragma once

#include "archive/archive_url.h"
#include "archive/utc_offset.h"

#include <QByteArray>

namespace zantrel {

struct CliContext;

// The archive that automatic downloads go on into. After each stored download the monthly
// files of the months it reached (each month's duplicate and numbered pieces, as Load Month
// reads them) are archived as a whole, and so is each earlier month while it still brings
// readings the archive lacks: readings the archive holds already cost nothing, and those of
// downloads stored while the archive could not be written are caught up, across a month's
// end and across restarts. The monthly files stay the record: a failure is said and the
// download stands.
class AutoArchive {
  public:
    AutoArchive(const ArchiveUrl& url, const UtcOffsetRule& rule, CliContext& context);

    // base: the path the monthly files are named after; from and to: the download's first
    // and last reading. Says on standard error what came of it.
    void archiveDownload(const QByteArray& base, int channel, double from, double to);

  private:
    ArchiveUrl url_;
    UtcOffsetRule rule_;
    CliContext& context_;
};

} // namespace zantrel
