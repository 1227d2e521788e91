#pragma once

#include <QByteArray>

class QLocale;

namespace zantrel {

// The process-wide date, time and number formats. Date and time formats use the token language
// of DateFormatter ("m/d/yyyy", "h:nn:ss AM/PM"), with '/' and ':' standing for the date and
// time separators held here. Chart files and headers are read and written with the separators
// forced to ".", ",", "/" and ":" (ForcedSeparators).
struct FormatSettings {
    QByteArray shortDateFormat{"m/d/yyyy"};
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    char dateSeparator = '/';
    char timeSeparator = ':';

    static FormatSettings fromSystemLocale();
    // The short date format always comes out as three numbers in the locale's order (month
    // names become month numbers, weekdays are dropped), so that it reads back with
    // ParseDateTime; the time separator is the one of the locale's time format. Separators
    // that are not single Latin-1 characters fall back to the defaults above (a space-like
    // thousands separator becomes a no-break space).
    static FormatSettings fromLocale(const QLocale& locale);
};

// Forces decimal ".", thousands ",", date "/" and time ":" for its lifetime and puts back the
// four previous values when it ends, however the scope is left.
class ForcedSeparators {
  public:
    explicit ForcedSeparators(FormatSettings& settings);
    ~ForcedSeparators();
    ForcedSeparators(const ForcedSeparators&) = delete;
    ForcedSeparators& operator=(const ForcedSeparators&) = delete;

  private:
    FormatSettings& settings_;
    char decimal_, thousand_, date_, time_;
};

// Remembers the short date format and puts it back when it ends; the second constructor also
// sets a new one for the meantime.
class ScopedShortDateFormat {
  public:
    explicit ScopedShortDateFormat(FormatSettings& settings);
    ScopedShortDateFormat(FormatSettings& settings, const QByteArray& format);
    ~ScopedShortDateFormat();
    ScopedShortDateFormat(const ScopedShortDateFormat&) = delete;
    ScopedShortDateFormat& operator=(const ScopedShortDateFormat&) = delete;

  private:
    FormatSettings& settings_;
    QByteArray saved_;
};

} // namespace zantrel
