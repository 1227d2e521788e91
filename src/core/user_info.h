#pragma once

#include <QByteArray>
#include <array>

namespace zantrel {

// The user-information text: "~User Name: ", "~User Location: ", "~ZL ID: " and
// "~PC Software Version: " lines.
QByteArray ComposeUserInformation(const QByteArray& name, const QByteArray& location,
                                  const QByteArray& id, const QByteArray& softwareVersion);

// The first `count` values of a user-information text: the k-th value is the text after
// the k-th ": ", found after the first k-1 searches have each replaced the first
// remaining ":" by a blank, cut at its first LF and then at its first CR.
std::array<QByteArray, 4> ExtractUserInformation(const QByteArray& text, int count = 4);

// The base of a window caption: the text before its first " |".
QByteArray CaptionBase(const QByteArray& caption);

} // namespace zantrel
