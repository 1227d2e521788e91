#include "files/monthly_file_content.h"

#include "files/chart_row_parser.h"
#include "files/date_format_detection.h"
#include "files/row_time_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace zantrel {

namespace {

constexpr std::string_view kDateFormatTag = "~Date Format: ";
constexpr std::string_view kUnitTag = "~ZL ID: ";
constexpr qint64 kReadChunk = 1 << 16;

QByteArray Reason(int err) {
    return QByteArray(std::strerror(err));
}

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

MonthlyFileContent Refused(MonthlyFileContent content, const QByteArray& path,
                           const QByteArray& why) {
    content.refusal = path + " " + why + "; it is left as it is.";
    return content;
}

// What a crash may leave in a file that holds no whole line yet: nothing, NUL bytes, or the
// start of the header.
bool UnfinishedStart(std::string_view content) {
    return content.empty() || content.front() == '~' ||
           content.find_first_not_of('\0') == std::string_view::npos;
}

// The whole file, or empty with err set.
std::optional<QByteArray> ReadAll(const QByteArray& path, int& err) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        err = errno;
        return std::nullopt;
    }
    QByteArray bytes;
    for (;;) {
        const qsizetype at = bytes.size();
        bytes.resize(at + kReadChunk);
        const ssize_t n = ::read(fd, bytes.data() + at, kReadChunk);
        if (n < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        bytes.resize(at + std::max<ssize_t>(n, 0));
        if (n <= 0) {
            err = n < 0 ? errno : 0;
            break;
        }
    }
    ::close(fd);
    if (err != 0) return std::nullopt;
    return bytes;
}

// Goes through the whole lines of a file's content, filling in what stays.
class LineReader {
  public:
    LineReader(MonthlyFileContent& content, const QByteArray& path, MonthlyFileKind kind,
               const QByteArray* unitId, double from, int currentYear)
        : c_(content), path_(path), kind_(kind), unitId_(unitId), from_(from),
          currentYear_(currentYear) {}

    // False with the refusal set when the file is not one rows may be added to.
    bool read(std::string_view bytes) {
        if (bytes.find("\r\n") == std::string_view::npos) {
            if (UnfinishedStart(bytes)) return true;
            return refuse("is not a chart file");
        }
        if (bytes.substr(0, kDateFormatTag.size()) != kDateFormatTag)
            return refuse("is not a chart file");
        const std::optional<DetectedDateFormat> format = DeclaredDateFormat(bytes);
        if (!format) return refuse("is not a chart file");
        c_.dateFormat = format->format;
        RowTimeReader times(format->shortFormat, currentYear_);
        const ChartRowParser rows(format->format, times);

        bool verified = true;
        for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string_view::npos;
             at = end + 2) {
            const std::string_view line = bytes.substr(at, end - at);
            QByteArray plain = Bytes(line);
            if (kind_ == MonthlyFileKind::Duplicate && line.substr(0, 1) == "?") {
                const QByteArray scrambled = plain.mid(1);
                ScrambleState check = state_;
                plain = UnscrambleLine(state_, scrambled);
                verified = verified && ScrambleLine(check, plain) == scrambled;
            } else if (kind_ == MonthlyFileKind::Duplicate && line.substr(0, 1) != "~") {
                return refuse("is damaged: it holds a line that is not scrambled");
            }
            if (plain.startsWith('~')) {
                if (!header(plain)) return false;
                continue;
            }
            ChartRow row;
            if (!rows.parse(std::string_view(plain.constData(), plain.size()), row))
                return refuse("is damaged: a row of it cannot be read");
            if (row.time >= from_ - 0.5 / 86400) break; // the download brings it again
            ++c_.rows;
            c_.lastRow = row.time;
            c_.keep = static_cast<qint64>(end + 2);
            c_.state = state_;
            c_.continuable = verified;
        }
        if (c_.rows == 0) c_.keep = 0;
        return true;
    }

  private:
    bool header(const QByteArray& line) {
        if (!unitId_ || !line.startsWith(Bytes(kUnitTag))) return true;
        const QByteArray id = line.mid(static_cast<qsizetype>(kUnitTag.size()));
        if (id == *unitId_) return true;
        return refuse("was written for another logger (ZL ID " + id + ")");
    }
    bool refuse(const QByteArray& why) {
        c_ = Refused(c_, path_, why);
        return false;
    }

    MonthlyFileContent& c_;
    const QByteArray& path_;
    MonthlyFileKind kind_;
    const QByteArray* unitId_;
    double from_;
    int currentYear_;
    ScrambleState state_;
};

} // namespace

MonthlyFileContent ReadMonthlyFile(const QByteArray& path, MonthlyFileKind kind,
                                   const QByteArray* unitId, double from, int currentYear) {
    MonthlyFileContent content;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT) content.refusal = path + ": " + Reason(errno) + ".";
        return content;
    }
    content.exists = true;
    if (S_ISLNK(st.st_mode)) return Refused(content, path, "is a symbolic link");
    if (!S_ISREG(st.st_mode)) return Refused(content, path, "is not a regular file");
    int err = 0;
    const std::optional<QByteArray> bytes = ReadAll(path, err);
    if (!bytes) {
        content.refusal = path + ": " + Reason(err) + ".";
        return content;
    }
    LineReader(content, path, kind, unitId, from, currentYear)
        .read(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    return content;
}

} // namespace zantrel
