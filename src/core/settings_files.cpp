#include "core/settings_files.h"

#include "core/text_slot.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zantrel {

QByteArray SettingsPath(const QByteArray& folder, const char* name) {
    return folder + '/' + name;
}

bool SettingsFileExists(const QByteArray& path) {
    return QFileInfo(QString::fromLocal8Bit(path)).isFile();
}

QByteArray NormaliseLineBreaks(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

bool LoadSlotFromFile(TextSlot& slot, const QByteArray& path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    slot.setText(NormaliseLineBreaks(content));
    return true;
}

bool ReplaceFile(const QByteArray& path, const QByteArray& text, QString* error) {
    QSaveFile file(QString::fromLocal8Bit(path));
    // flush() too: QSaveFile::commit() does not notice a buffered write that falls short.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                         file.flush() && file.commit();
    if (!written) {
        if (error) *error = file.errorString();
        file.cancelWriting();
    }
    return written;
}

bool SaveSlotToFile(const TextSlot& slot, const QByteArray& path) {
    return ReplaceFile(path, slot.text());
}

QByteArray SaveSetting(const TextSlot& slot, const QByteArray& folder, const char* name) {
    const QByteArray path = SettingsPath(folder, name);
    if (SaveSlotToFile(slot, path)) return {};
    const QByteArray file(name);
    const char* what = file == kComportFile      ? "the port setting"
                       : file == kDateFormatFile ? "the date format"
                                                 : "the user information";
    return QByteArray("Cannot save ") + what + " in " + path + ". Check folder rights.";
}

} // namespace zantrel
