#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

// The scrambled ".zlx" duplicate written beside every chart file.
class EncryptedDuplicate {
public:
    explicit EncryptedDuplicate(Engine& engine);
    // chartPath: the chart file just written and closed; userBlock: its four user lines.
    void WriteEncryptedDuplicate(const QByteArray& chartPath, const QByteArray& dateFormat,
                                 const QByteArray& userBlock);
    // The chart file's path with its extension replaced by ".zlx" (appended when none).
    static QByteArray DuplicateName(const QByteArray& chartPath);

private:
    Engine& engine_;
};

} // namespace zantrel
