#pragma once

#include <QString>

namespace zantrel {

// The text with every letter that carries an accent or is a ligature written as its plain
// letters: "Zürich" becomes "Zurich", "ß" "ss", "Æ" "AE". Everything else is left as it is.
QString PlainLetters(const QString& text);

} // namespace zantrel
