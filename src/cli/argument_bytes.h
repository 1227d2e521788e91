#pragma once

#include <QByteArray>
#include <QString>

namespace zantrel {

// Arguments, and the paths in them, are bytes to the system and need not be UTF-8. A QString
// carries them without loss: valid UTF-8 is decoded, and every other byte becomes the lone
// surrogate U+DC80 + byte, which ArgumentBytes turns back into that byte.
QString ArgumentText(const QByteArray& bytes);
QByteArray ArgumentBytes(const QString& text);

} // namespace zantrel
