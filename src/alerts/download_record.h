#pragma once

#include <QByteArray>
#include <array>
#include <optional>

namespace zantrel {

inline constexpr const char* kDownloadRecordFile = "DOWNLOADS.DAT";

// A channel's run of failed downloads: how many in a row, and when the first of them ended.
struct FailedRun {
    int inARow = 0;
    double first = 0;
};

// DOWNLOADS.DAT beside ALERTS.DAT: what the alert rules must know of the downloads before
// a restart, the time of the last successful download and each channel's run of failures.
// One JSON object, rewritten whole after each download, so the file never grows:
//   {"failed":[{"first":"2026-03-30T11:00:00","inARow":1},{"first":null,"inARow":0}],
//    "lastSuccess":"2026-03-30T10:00:00"}
// The times are the wall clock's: the time since the last success is taken from it after a
// restart.
// A file that does not read is treated as absent and said by problem().
class DownloadRecord {
  public:
    // Reads the file at path; a file not there yet is an empty record.
    explicit DownloadRecord(const QByteArray& path);

    const QByteArray& path() const { return path_; }
    // Why the file did not read, or empty.
    const QByteArray& problem() const { return problem_; }

    std::optional<double> lastSuccess;
    std::array<FailedRun, 2> failed;

    // Writes the record in place of the file, all at once; false when that failed
    // (failure() says why).
    bool save();
    const QByteArray& failure() const { return failure_; }

  private:
    void read();

    QByteArray path_;
    QByteArray problem_;
    QByteArray failure_;
};

} // namespace zantrel
