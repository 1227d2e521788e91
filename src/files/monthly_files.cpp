#include "files/monthly_files.h"

#include "chart/readings_store.h"
#include "core/date_time.h"
#include "files/chart_lines.h"
#include "files/chart_row_parser.h"
#include "files/chart_rows.h"
#include "files/date_format_detection.h"
#include "files/row_time_reader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <optional>
#include <unistd.h>
#include <vector>

namespace zantrel {

namespace {

constexpr int kMaxNumberedDuplicates = 10000;
// The date format line is the first line of a chart file; a row is far shorter than this.
constexpr qint64 kHeadBytes = 1024;
constexpr qint64 kTailBytes = 8192;

bool IsFile(const QByteArray& path) {
    return QFileInfo(QFile::decodeName(path)).isFile();
}

// Year and month as one number, so that months compare and count across years.
int MonthKey(double t) {
    const auto fields = DecodeDateTime(t);
    return fields ? fields->year * 12 + fields->month - 1 : 0;
}

double MonthStart(int key) {
    return EncodeDate(key / 12, key % 12 + 1, 1).value_or(0);
}

// The date format a monthly file declares in its first lines.
std::optional<DetectedDateFormat> FileDateFormat(QFile& file) {
    file.seek(0);
    const QByteArray head = file.read(kHeadBytes);
    return DeclaredDateFormat(std::string_view(head.constData(), head.size()));
}

// The time of the last complete data row of a chart file.
std::optional<double> LastRowTime(const QByteArray& path, int currentYear) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const std::optional<DetectedDateFormat> format = FileDateFormat(file);
    if (!format) return std::nullopt;
    const qint64 from = std::max<qint64>(0, file.size() - kTailBytes);
    file.seek(from);
    const QByteArray tail = file.read(kTailBytes);

    std::vector<std::string_view> lines;
    ChartLineSplitter splitter(std::string_view(tail.constData(), tail.size()));
    std::string_view line;
    bool first = true;
    while (splitter.next(line)) {
        // The tail may begin inside a line; a last line without its line end was cut off.
        const bool whole = splitter.complete() && (from == 0 || !first);
        first = false;
        if (whole && !line.empty() && line.front() != '~') lines.push_back(line);
    }
    RowTimeReader times(format->shortFormat, currentYear);
    const ChartRowParser parser(format->format, times);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        ChartRow row;
        if (parser.parse(*it, row)) return row.time;
    }
    return std::nullopt;
}

struct FileWrite {
    QByteArray path;
    QByteArray text;
};

constexpr qint64 kUntouched = -2;

// Appends the text and puts it on the disk. originalSize is what the file held before: -1 when
// it was created, kUntouched when it was never opened.
bool AppendDurably(const FileWrite& write, qint64& originalSize) {
    QFile file(QFile::decodeName(write.path));
    const QFileInfo info(file.fileName());
    originalSize = kUntouched;
    if (info.exists() && !info.isFile()) return false;
    originalSize = info.exists() ? info.size() : -1;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const bool written =
        file.write(write.text) == write.text.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void PutBack(const QByteArray& path, qint64 originalSize) {
    const QString name = QFile::decodeName(path);
    if (originalSize == kUntouched) return;
    if (originalSize < 0)
        QFile::remove(name);
    else
        QFile::resize(name, originalSize);
}

} // namespace

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

QByteArray MonthlyFiles::MonthlyDuplicateName(const QByteArray& monthlyFile) {
    return monthlyFile.left(monthlyFile.lastIndexOf('.')) + ".zlx";
}

QByteArray MonthlyFiles::NumberedDuplicateName(const QByteArray& duplicate, int n) {
    return duplicate.left(duplicate.size() - 4) + "_" + QByteArray::number(n) + ".zxl";
}

bool MonthlyFiles::LastStoredRow(const QByteArray& base, int channel, double first, double last,
                                 int currentYear, double& row, QByteArray* lastFile) {
    bool found = false;
    const int to = MonthKey(std::max(first, last));
    for (int key = MonthKey(first); key <= to; ++key) {
        const QByteArray name = MonthlyFileName(base, channel, MonthStart(key));
        if (!IsFile(name)) continue;
        const std::optional<double> time = LastRowTime(name, currentYear);
        if (!time || (found && *time < row)) continue;
        row = *time;
        found = true;
        if (lastFile) *lastFile = name;
    }
    return found;
}

double MonthlyFiles::ResumeTimeFromMonthlyFiles(const QByteArray& base, int channel, double first,
                                                double last, double interval, int currentYear,
                                                QByteArray* lastFile) {
    if (lastFile) lastFile->clear();
    double stored = 0;
    if (!LastStoredRow(base, channel, first, last, currentYear, stored, lastFile)) return first;
    // In whole seconds, so that the grid never drifts by a rounding.
    const auto seconds = [](double t) { return std::llround(t * kSecondsPerDay); };
    const long long origin = seconds(first);
    const long long newest = seconds(stored);
    const long long step = seconds(interval);
    if (newest < origin) return first;
    if (step <= 0) return (newest + 1) / kSecondsPerDay;
    return (origin + ((newest - origin) / step + 1) * step) / kSecondsPerDay;
}

MonthlyFiles::ChannelSet MonthlyFiles::chooseDuplicate(const ChannelSet& set,
                                                       const QByteArray& duplicate) const {
    const QByteArray numbered = duplicate.left(duplicate.size() - 4) + "_";
    const bool sameMonth = set.duplicate == duplicate ||
                           (set.duplicate.startsWith(numbered) && set.duplicate.endsWith(".zxl"));
    if (sameMonth && IsFile(set.duplicate)) return set;
    if (!QFileInfo::exists(QFile::decodeName(duplicate))) return {ScrambleState{}, duplicate};
    for (int n = 0; n < kMaxNumberedDuplicates; ++n) {
        const QByteArray name = NumberedDuplicateName(duplicate, n);
        if (!QFileInfo::exists(QFile::decodeName(name))) return {ScrambleState{}, name};
    }
    return {};
}

MonthlyAppend MonthlyFiles::Append(const MonthlyDownload& d, const ReadingsStore& readings) {
    MonthlyAppend result;
    const std::size_t rows = std::min(readings.ReadingTimes.size(), readings.Temperatures.size());
    ChannelSet set = sets_[d.channel == 1 ? 0 : 1];
    std::vector<FileWrite> writes;
    std::optional<ChartRowFormatter> format;
    std::vector<char> row;
    EventCursors events(readings);
    int month = -1;
    std::size_t chart = 0, duplicate = 0; // indexes into writes

    for (std::size_t i = 0; i < rows; ++i) {
        const double time = RoundToSecond(d.start + static_cast<double>(i) * d.interval);
        if (MonthKey(time) != month) {
            month = MonthKey(time);
            const QByteArray chartName = MonthlyFileName(d.base, d.channel, time);
            QByteArray dateFormat = d.dateFormat;
            chart = writes.size();
            writes.push_back({chartName, {}});
            QFile existing(QFile::decodeName(chartName));
            if (IsFile(chartName) && existing.open(QIODevice::ReadOnly)) {
                // Rows continue in the format the file declares.
                if (const auto declared = FileDateFormat(existing)) dateFormat = declared->format;
            } else {
                writes[chart].text = DateFormatAndCreationLines(dateFormat, d.now) + d.userBlock +
                                     ColumnHeaderLines(dateFormat);
            }
            set = chooseDuplicate(set, MonthlyDuplicateName(chartName));
            if (set.duplicate.isEmpty()) return result;
            duplicate = writes.size();
            writes.push_back({set.duplicate, {}});
            if (!IsFile(set.duplicate))
                writes[duplicate].text =
                    DateFormatAndCreationLines(dateFormat, d.now) + d.userBlock;
            format.emplace(dateFormat, d.humidity);
            row.resize(format->maxLength());
            result.files.append(chartName);
        }
        const float* humidity = i < readings.Humidities.size() ? &readings.Humidities[i] : nullptr;
        char* end = format->writeReading(row.data(), time, readings.Temperatures[i], humidity);
        const QByteArray fields(row.data(), end - row.data());
        EventCursors::Counts counts = events.take(readings.ReadingTimes[i]);
        if (i == 0) ++counts[NewSensor]; // every download's first row counts a new sensor
        end = ChartRowFormatter::writeLineEnd(ChartRowFormatter::writeCounts(end, counts));
        writes[chart].text.append(row.data(), end - row.data());
        writes[duplicate].text += "?" + ScrambleLine(set.state, fields) + "\r\n";
    }

    std::vector<std::pair<QByteArray, qint64>> touched;
    for (const FileWrite& write : writes) {
        qint64 originalSize = -1;
        const bool ok = AppendDurably(write, originalSize);
        touched.emplace_back(write.path, originalSize);
        if (ok) continue;
        for (const auto& [path, size] : touched)
            PutBack(path, size);
        return {false, {}};
    }
    if (rows > 0) sets_[d.channel == 1 ? 0 : 1] = set;
    result.saved = true;
    return result;
}

} // namespace zantrel
