#include "files/date_format_detection.h"

#include "files/chart_lines.h"

namespace zantrel {

namespace {

constexpr std::string_view kDateFormatTag = "~Date Format: ";

// A line as the guesses look at it: a position past its end holds NUL.
struct LineChars {
    std::string_view text;
    char filler = '\0';
    char operator[](std::size_t i) const { return i < text.size() ? text[i] : filler; }
};

bool IsM(char c) {
    return c == 'm' || c == 'M';
}
bool IsTwoOrThree(char c) {
    return c == '2' || c == '3';
}

DetectedDateFormat make(const char* format) {
    const QByteArray f(format);
    return {f, f.left(f.indexOf(' '))};
}

// The rules, in order. The first three look for the AM/PM formats and the year-first format and
// all apply, a later one overriding an earlier one; the rest apply only when none of them did:
// a day of 20 or more first or second tells the order, and so does which of the first two
// numbers changed since the previous line.
std::optional<DetectedDateFormat> Guess(const LineChars& line, const LineChars& previous) {
    std::optional<DetectedDateFormat> found;
    if (IsM(line[21])) found = make("mm/dd/yyyy hh:mm:ss AM/PM");
    if (IsM(line[19])) found = make("mm/dd/yy hh:mm:ss AM/PM");
    if (line[4] == '/' && line[7] == '/') found = make("yyyy/mm/dd hh:mm:ss");
    if (found) return found;
    if (IsTwoOrThree(line[0])) return make("dd/mm/yyyy hh:mm:ss");
    if (IsTwoOrThree(line[3])) return make("mm/dd/yyyy hh:mm:ss");
    if (previous[0] != '\0') {
        if (line[1] != previous[1] && line[4] == previous[4]) return make("dd/mm/yyyy hh:mm:ss");
        if (line[4] != previous[4] && line[1] == previous[1]) return make("mm/dd/yyyy hh:mm:ss");
    }
    return std::nullopt;
}

} // namespace

std::optional<DetectedDateFormat> DeclaredDateFormat(std::string_view content) {
    ChartLineSplitter lines(content);
    std::string_view line;
    while (lines.next(line)) {
        if (line.substr(0, kDateFormatTag.size()) != kDateFormatTag) continue;
        const std::size_t colon = line.find(':');
        // Lines come without their line end, so the value holds no line feed.
        const QByteArray format(line.data() + colon + 2,
                                static_cast<qsizetype>(line.size() - colon - 2));
        const qsizetype blank = format.indexOf(' ');
        return DetectedDateFormat{format, blank < 0 ? format : format.left(blank)};
    }
    return std::nullopt;
}

std::optional<DetectedDateFormat> GuessedDateFormat(std::string_view content) {
    ChartLineSplitter lines(content);
    LineChars previous{{}, 'x'}; // before the first line: "x" at every position
    std::string_view line;
    while (lines.next(line)) {
        const LineChars current{line};
        if (auto found = Guess(current, previous)) return found;
        previous = current;
    }
    return std::nullopt;
}

} // namespace zantrel
