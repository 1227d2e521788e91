#pragma once

#include <QByteArray>
#include <string>

namespace zantrel {

// Pieces of the tool's JSON and summaries, appended to s.

// A number in its shortest form that reads back the same: a stored 32-bit value as stored,
// a computed figure to full precision (null when it is not finite).
void PutNumber(std::string& s, float value);
void PutNumber(std::string& s, double value);

// A day count as local "YYYY-MM-DDTHH:MM:SS" to the nearest second: a JSON string, or bare
// when not quoted; null when it is no date.
void PutTime(std::string& s, double t, bool quoted = true);

// A Latin-1 text as a JSON string in UTF-8.
void PutString(std::string& s, const QByteArray& latin1);

// A file name as a JSON string: its bytes as they are when they are UTF-8, else each byte a
// Latin-1 character, so that the JSON stays valid.
void PutPath(std::string& s, const QByteArray& path);

// "name": followed by the text as a JSON string.
void PutField(std::string& s, const char* name, const QByteArray& latin1);

} // namespace zantrel
