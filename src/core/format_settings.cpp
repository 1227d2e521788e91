#include "core/format_settings.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <vector>

namespace zantrel {

namespace {

// A run of one pattern letter in a Qt date or time format ("MM", "yyyy", "AP").
struct QtField {
    char letter;
    int count;
    qsizetype start;
    qsizetype end;
};

std::vector<QtField> ScanQtFormat(const QString& format) {
    std::vector<QtField> fields;
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            const qsizetype close = format.indexOf(QLatin1Char('\''), i + 1);
            i = close < 0 ? n : close + 1;
            continue;
        }
        const char16_t u = c.unicode();
        if (u >= 128 || !c.isLetter()) {
            ++i;
            continue;
        }
        qsizetype run = 1;
        if (u == 'A' || u == 'a') {
            if (i + 1 < n &&
                (format[i + 1] == QLatin1Char('P') || format[i + 1] == QLatin1Char('p')))
                run = 2;
        } else {
            while (i + run < n && format[i + run] == c)
                ++run;
        }
        fields.push_back({static_cast<char>(u), static_cast<int>(run), i, i + run});
        i += run;
    }
    return fields;
}

const QtField* FirstOf(const std::vector<QtField>& fields, char letter, int maxCount = 99) {
    for (const QtField& f : fields)
        if (f.letter == letter && f.count <= maxCount) return &f;
    return nullptr;
}

const QtField* FirstOf(const std::vector<QtField>& fields, char a, char b) {
    for (const QtField& f : fields)
        if (f.letter == a || f.letter == b) return &f;
    return nullptr;
}

// The first visible Latin-1 punctuation character between two fields, else the fallback.
char SeparatorBetween(const QString& format, const QtField& a, const QtField& b, char fallback) {
    const qsizetype from = std::min(a.end, b.end);
    const qsizetype to = std::max(a.start, b.start);
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = format[i];
        if (c.unicode() > 0xFF || c.isLetterOrNumber() || c.isSpace() || !c.isPrint() ||
            c == QLatin1Char('\''))
            continue;
        return static_cast<char>(c.unicode());
    }
    return fallback;
}

QByteArray ShortDateFrom(const QString& format, const QByteArray& fallback, char& separator) {
    const auto fields = ScanQtFormat(format);
    const QtField* day = FirstOf(fields, 'd', 2); // longer runs are weekday names
    const QtField* month = FirstOf(fields, 'M');
    const QtField* year = FirstOf(fields, 'y');
    if (!day || !month || !year) return fallback;
    std::vector<const QtField*> order = {day, month, year};
    std::sort(order.begin(), order.end(),
              [](const QtField* a, const QtField* b) { return a->start < b->start; });
    separator = SeparatorBetween(format, *order[0], *order[1], '/');
    QByteArray out;
    for (const QtField* f : order) {
        if (!out.isEmpty()) out += '/';
        if (f == day) out += f->count == 1 ? "d" : "dd";
        if (f == month) out += f->count == 1 ? "m" : "mm";
        if (f == year) out += f->count <= 2 ? "yy" : "yyyy";
    }
    return out;
}

// The locale's time separator: the one between its time format's hours and minutes.
char TimeSeparatorFrom(const QString& format, char fallback) {
    const auto fields = ScanQtFormat(format);
    const QtField* hour = FirstOf(fields, 'h', 'H');
    const QtField* minute = FirstOf(fields, 'm');
    if (!hour || !minute) return fallback;
    return SeparatorBetween(format, *hour, *minute, fallback);
}

char LatinSeparator(const QString& s, char fallback) {
    if (s.size() != 1) return fallback;
    const QChar c = s[0];
    if (c.unicode() <= 0xFF) return static_cast<char>(c.unicode());
    return c.isSpace() ? '\xA0' : fallback;
}

} // namespace

FormatSettings FormatSettings::fromSystemLocale() {
    return fromLocale(QLocale::system());
}

FormatSettings FormatSettings::fromLocale(const QLocale& locale) {
    FormatSettings s;
    s.shortDateFormat =
        ShortDateFrom(locale.dateFormat(QLocale::ShortFormat), s.shortDateFormat, s.dateSeparator);
    s.timeSeparator = TimeSeparatorFrom(locale.timeFormat(QLocale::LongFormat), s.timeSeparator);
    s.decimalSeparator = LatinSeparator(locale.decimalPoint(), '.');
    s.thousandSeparator =
        LatinSeparator(locale.groupSeparator(), s.decimalSeparator == ',' ? '.' : ',');
    if (s.thousandSeparator == s.decimalSeparator)
        s.thousandSeparator = s.decimalSeparator == ',' ? '.' : ',';
    return s;
}

ForcedSeparators::ForcedSeparators(FormatSettings& settings)
    : settings_(settings), decimal_(settings.decimalSeparator),
      thousand_(settings.thousandSeparator), date_(settings.dateSeparator),
      time_(settings.timeSeparator) {
    settings_.decimalSeparator = '.';
    settings_.thousandSeparator = ',';
    settings_.dateSeparator = '/';
    settings_.timeSeparator = ':';
}

ForcedSeparators::~ForcedSeparators() {
    settings_.decimalSeparator = decimal_;
    settings_.thousandSeparator = thousand_;
    settings_.dateSeparator = date_;
    settings_.timeSeparator = time_;
}

ScopedShortDateFormat::ScopedShortDateFormat(FormatSettings& settings)
    : settings_(settings), saved_(settings.shortDateFormat) {}

ScopedShortDateFormat::ScopedShortDateFormat(FormatSettings& settings, const QByteArray& format)
    : ScopedShortDateFormat(settings) {
    settings_.shortDateFormat = format;
}

ScopedShortDateFormat::~ScopedShortDateFormat() {
    settings_.shortDateFormat = saved_;
}

} // namespace zantrel
