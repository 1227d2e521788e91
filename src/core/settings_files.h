#pragma once

#include <QByteArray>
#include <QString>

namespace zantrel {

class TextSlot;

inline constexpr const char* kComportFile = "COMPORT.DAT";
inline constexpr const char* kDateFormatFile = "DATEFMT.DAT";
inline constexpr const char* kUserInfoFile = "USERINFO.DAT";
inline constexpr const char* kStatisticsFile = "STATS.DAT";

// The path of a settings file in the settings folder.
QByteArray SettingsPath(const QByteArray& folder, const char* name);

bool SettingsFileExists(const QByteArray& path);

// Replaces the slot's text by the whole file, every line break made CR LF. A text equal
// to the slot's runs no handler. Returns false when the file cannot be read.
bool LoadSlotFromFile(TextSlot& slot, const QByteArray& path);

// Writes exactly text, replacing the file only once the new content is complete. Returns
// false when the file could not be written, and why in error when given.
bool ReplaceFile(const QByteArray& path, const QByteArray& text, QString* error = nullptr);

// Writes exactly the slot's text (no line end added) as ReplaceFile does.
bool SaveSlotToFile(const TextSlot& slot, const QByteArray& path);

// Saves the slot to the settings file `name` in folder. Returns the message that tells the
// user which setting could not be saved and where, or nothing when it was saved.
QByteArray SaveSetting(const TextSlot& slot, const QByteArray& folder, const char* name);

// Every lone CR, lone LF and CR LF becomes CR LF.
QByteArray NormaliseLineBreaks(const QByteArray& text);

} // namespace zantrel
