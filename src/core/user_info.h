#pragma once

#include <QByteArray>
#include <array>

namespace zantrel {

// The user-information text: "~User Name: ", "~User Location: ", "~ZL ID: " and
// "~PC Software Version: " lines.
QByteArray ComposeUserInformation(const QByteArray& name, const QByteArray& location,
                                  const QByteArray& id, const QByteArray& softwareVersion);

// The first `count` values of a user-information text: the k-th value is what follows the
// first ": " of the k-th line that holds one, up to the line's end (CR, LF or CR LF). A
// colon inside a value therefore never shifts the values after it.
std::array<QByteArray, 4> ExtractUserInformation(const QByteArray& text, int count = 4);

// The base of a window caption: the text before its first " |".
QByteArray CaptionBase(const QByteArray& caption);

} // namespace zantrel
