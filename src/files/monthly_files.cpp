#include "files/monthly_files.h"

#include "chart/readings_store.h"
#include "core/calendar.h"
#include "files/chart_rows.h"
#include "files/monthly_file_content.h"
#include "files/monthly_files_lock.h"
#include "files/scrambling.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace zantrel {

namespace {

constexpr int kMaxNumberedDuplicates = 10000;
constexpr const char* kCannotSave = "Cannot save file. ";
constexpr double kAllRows = std::numeric_limits<double>::infinity();

bool Exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// Year and month as one number, so that months compare and count across years.
int MonthKey(double t) {
    const auto fields = DecodeDateTime(t);
    return fields ? fields->year * 12 + fields->month - 1 : 0;
}

double MonthStart(int key) {
    return EncodeDate(key / 12, key % 12 + 1, 1).value_or(0);
}

int YearOf(double t) {
    const auto fields = DecodeDateTime(t);
    return fields ? fields->year : 2000;
}

// The number of the month's newest numbered duplicate; -1 when there is none and the
// duplicate itself is the newest. Numbers are taken in turn, so the first gap ends them.
int NewestPiece(const QByteArray& duplicate) {
    int n = -1;
    while (n + 1 < kMaxNumberedDuplicates &&
           Exists(MonthlyFiles::numberedDuplicateName(duplicate, n + 1)))
        ++n;
    return n;
}

QByteArray PieceName(const QByteArray& duplicate, int n) {
    return n < 0 ? duplicate : MonthlyFiles::numberedDuplicateName(duplicate, n);
}

// One file of a download: what stays of it and what is added.
struct FileWrite {
    QByteArray path;
    bool existed = false;
    qint64 keep = 0;
    QByteArray text;
};

bool WriteAll(int fd, const QByteArray& text) {
    const char* data = text.constData();
    qsizetype size = text.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Cuts the file to what stays, appends the text and puts it on the disk; 0 or the errno.
// opened tells whether the file was opened (and so may need putting back).
int WriteDurably(const FileWrite& write, bool& opened) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (write.existed ? 0 : O_EXCL);
    const int fd = ::open(write.path.constData(), flags, 0666);
    opened = fd >= 0;
    if (fd < 0) return errno;
    const bool ok = ::ftruncate(fd, write.keep) == 0 && ::lseek(fd, 0, SEEK_END) >= 0 &&
                    WriteAll(fd, write.text) && ::fsync(fd) == 0;
    const int err = ok ? 0 : errno;
    return ::close(fd) == 0 || err != 0 ? err : errno;
}

void PutBack(const FileWrite& write) {
    if (write.existed)
        (void)!::truncate(write.path.constData(), write.keep);
    else
        ::unlink(write.path.constData());
}

MonthlyAppend Failed(const QByteArray& why) {
    MonthlyAppend result;
    result.failure = kCannotSave + why;
    return result;
}

} // namespace

MonthlyFiles::MonthlyFiles() = default;
MonthlyFiles::~MonthlyFiles() = default;

QByteArray MonthlyFiles::MonthlyFileName(const QByteArray& base, int channel, double t) {
    const qsizetype slash = base.lastIndexOf('/');
    const QByteArray folder = base.left(slash + 1);
    QByteArray name = base.mid(slash + 1);
    if (!name.contains('.')) name += ".csv";
    const auto fields = DecodeDateTime(t);
    const int year = fields ? fields->year : 0;
    const int month = fields ? fields->month : 0;
    return folder + "T" + QByteArray::number(channel) +
           QByteArray::number(year).rightJustified(4, '0') +
           QByteArray::number(month).rightJustified(2, '0') + name;
}

QByteArray MonthlyFiles::monthlyDuplicateName(const QByteArray& monthlyFile) {
    return monthlyFile.left(monthlyFile.lastIndexOf('.')) + ".zlx";
}

QByteArray MonthlyFiles::numberedDuplicateName(const QByteArray& duplicate, int n) {
    return duplicate.left(duplicate.size() - 4) + "_" + QByteArray::number(n) + ".zxl";
}

double MonthlyFiles::ResumeTimeFromMonthlyFiles(const QByteArray& base, int channel, double first,
                                                double last, double interval, int currentYear,
                                                QByteArray* lastFile) {
    if (lastFile) lastFile->clear();
    std::optional<double> stored;
    const int to = MonthKey(std::max(first, last));
    for (int key = MonthKey(first); key <= to; ++key) {
        const QByteArray chart = MonthlyFileName(base, channel, MonthStart(key));
        const QByteArray duplicate = monthlyDuplicateName(chart);
        for (int n = -1, newest = NewestPiece(duplicate); n <= newest; ++n) {
            const MonthlyFileContent piece =
                ReadMonthlyFile(PieceName(duplicate, n), MonthlyFileKind::Duplicate, nullptr,
                                kAllRows, currentYear);
            if (!piece.lastRow || (stored && *piece.lastRow < *stored)) continue;
            stored = piece.lastRow;
            if (lastFile) *lastFile = chart;
        }
    }
    if (!stored) return first;
    // In whole seconds, so that the grid never drifts by a rounding.
    const auto seconds = [](double t) { return std::llround(t * kSecondsPerDay); };
    const long long origin = seconds(first);
    const long long newest = seconds(*stored);
    const long long step = seconds(interval);
    if (newest < origin) return first;
    if (step <= 0) return (newest + 1) / kSecondsPerDay;
    return (origin + ((newest - origin) / step + 1) * step) / kSecondsPerDay;
}

MonthlyAppend MonthlyFiles::append(const MonthlyDownload& d, const ReadingsStore& readings) {
    if (!lock_ || lock_->base() != d.base) {
        lock_.reset();
        QByteArray why;
        lock_ = MonthlyFilesLock::acquire(d.base, why);
        if (!lock_) return Failed(why);
    }
    MonthlyAppend result;
    const int year = YearOf(d.now);
    const std::size_t rows = std::min(readings.ReadingTimes.size(), readings.Temperatures.size());
    std::vector<FileWrite> writes;
    std::optional<ChartRowFormatter> format;
    ScrambleState state;
    std::vector<char> row;
    EventCursors events(readings);
    int month = -1;
    std::size_t chart = 0, duplicate = 0; // indexes into writes

    for (std::size_t i = 0; i < rows; ++i) {
        const double time = RoundToSecond(d.start + static_cast<double>(i) * d.interval);
        if (MonthKey(time) != month) {
            month = MonthKey(time);
            const QByteArray chartName = MonthlyFileName(d.base, d.channel, time);
            const MonthlyFileContent old =
                ReadMonthlyFile(chartName, MonthlyFileKind::Chart, &d.unitId, d.start, year);
            if (!old.refusal.isEmpty()) return Failed(old.refusal);
            const QByteArray monthly = monthlyDuplicateName(chartName);
            int piece = NewestPiece(monthly);
            MonthlyFileContent copy = ReadMonthlyFile(
                PieceName(monthly, piece), MonthlyFileKind::Duplicate, &d.unitId, d.start, year);
            if (!copy.refusal.isEmpty()) return Failed(copy.refusal);
            if (copy.rows > 0 && !copy.continuable) {
                // Its scrambling cannot be followed to its end: it stays as it is.
                if (++piece == kMaxNumberedDuplicates)
                    return Failed(monthly + " cannot be continued and the month already has " +
                                  QByteArray::number(kMaxNumberedDuplicates) +
                                  " numbered duplicates, the most there may be.");
                copy = {};
            }
            const QByteArray dateFormat = old.rows > 0    ? old.dateFormat
                                          : copy.rows > 0 ? copy.dateFormat
                                                          : d.dateFormat;
            if (copy.rows > 0 && copy.dateFormat != dateFormat)
                return Failed(chartName + " and its duplicate declare different date formats; "
                                          "both are left as they are.");
            chart = writes.size();
            writes.push_back({chartName, old.exists, old.keep, {}});
            if (old.rows == 0)
                writes[chart].text = DateFormatAndCreationLines(dateFormat, d.now) + d.userBlock +
                                     ColumnHeaderLines(dateFormat);
            duplicate = writes.size();
            writes.push_back({PieceName(monthly, piece), copy.exists, copy.keep, {}});
            state = copy.rows > 0 ? copy.state : ScrambleState{};
            if (copy.rows == 0)
                writes[duplicate].text =
                    DateFormatAndCreationLines(dateFormat, d.now) + d.userBlock;
            format.emplace(dateFormat, d.humidity);
            row.resize(format->maxLength());
            result.files.append(chartName);
        }
        const float* humidity = i < readings.Humidities.size() ? &readings.Humidities[i] : nullptr;
        char* end = format->writeReading(row.data(), time, readings.Temperatures[i], humidity);
        EventCursors::Counts counts = events.take(readings.ReadingTimes[i]);
        if (i == 0) ++counts[NewSensor]; // every download's first row counts a new sensor
        end = ChartRowFormatter::writeCounts(end, counts);
        const QByteArray fields(row.data(), end - row.data());
        writes[chart].text += fields + "\r\n";
        writes[duplicate].text += "?" + ScrambleLine(state, fields) + "\r\n";
    }

    // The chart file before its duplicate: a kill between the two leaves rows that only the
    // chart file holds, which the next download takes off and stores again in both.
    for (std::size_t w = 0; w < writes.size(); ++w) {
        bool opened = false;
        const int err = WriteDurably(writes[w], opened);
        if (err == 0) continue;
        for (std::size_t k = 0; k < w + (opened ? 1 : 0); ++k)
            PutBack(writes[k]);
        return Failed(writes[w].path + ": " + std::strerror(err) + ".");
    }
    result.saved = true;
    return result;
}

} // namespace zantrel
