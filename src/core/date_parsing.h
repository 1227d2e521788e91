#pragma once

#include <QByteArray>

#include <optional>

namespace zantrel {

// Reads a date, then optionally a time. The date's three numbers come in the order in which
// m, d and y first appear in shortDateFormat and are separated by dateSeparator; a year of one
// or two digits goes through TwoDigitYear. Then blanks (and a comma, as the comma formats put
// one there) and hh:mm[:ss] separated by timeSeparator, with AM or PM optionally after (or, as
// some locales write it, before) the time: hour 12 counts as 0, PM adds 12, and with a marker an
// hour of 0 or above 12 is an error. Text after the time is ignored. Blanks are allowed around
// numbers and separators. Empty for anything invalid.
std::optional<double> ParseDateTime(const QByteArray& text, const QByteArray& shortDateFormat,
                                    int currentYear, char dateSeparator = '/',
                                    char timeSeparator = ':');

} // namespace zantrel
