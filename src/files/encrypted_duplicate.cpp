#include "files/encrypted_duplicate.h"

#include "core/clock.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "files/atomic_file.h"
#include "files/chart_rows.h"
#include "files/scrambling.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace zantrel {

namespace {

constexpr qint64 kReadChunk = 1 << 20;
constexpr const char* kCannotSave =
    "Cannot save encrypted file (*.zlx). Check name or folder rights.";
constexpr const char* kCannotSaveStatus =
    "Cannot save encrypted file. Check name or folder rights.";
constexpr const char* kReadError = "File read error during encryption process.";

// Turns the bytes of a chart file, as they come, into encrypted lines: "?", the scrambled
// characters and CR LF. CR LF (or a lone LF) ends a line and is not scrambled; a CR that is
// not followed by LF is a character like any other, and so is every byte value.
class BodyScrambler {
  public:
    // Writes to out, which has room for 2 * size + 3 bytes, and returns the end.
    char* feed(const char* data, qint64 size, char* out) {
        for (qint64 i = 0; i < size; ++i) {
            const char c = data[i];
            if (heldCr_) {
                heldCr_ = false;
                if (c == '\n') {
                    out = endLine(out);
                    continue;
                }
                out = put(out, '\r');
            }
            if (c == '\r')
                heldCr_ = true;
            else if (c == '\n')
                out = endLine(out);
            else
                out = put(out, c);
        }
        return out;
    }

    // The end of the file: a CR still held was the last character. Needs room for 2 bytes.
    char* finish(char* out) {
        if (heldCr_) out = put(out, '\r');
        heldCr_ = false;
        return out;
    }

  private:
    char* put(char* out, char c) {
        if (atLineStart_) *out++ = '?';
        atLineStart_ = false;
        *out++ = ScrambleCharacter(state_, c);
        return out;
    }

    char* endLine(char* out) {
        if (atLineStart_) *out++ = '?';
        *out++ = '\r';
        *out++ = '\n';
        state_.stepColumn();
        state_.stepLine();
        atLineStart_ = true;
        return out;
    }

    ScrambleState state_;
    bool atLineStart_ = true;
    bool heldCr_ = false;
};

qsizetype ExtensionStart(const QByteArray& path) {
    const qsizetype dot = path.lastIndexOf('.');
    return dot > path.lastIndexOf('/') ? dot : -1;
}

} // namespace

EncryptedDuplicate::EncryptedDuplicate(State& state, Dialogs& dialogs, Clock& clock)
    : state_(state), dialogs_(dialogs), clock_(clock) {}

QByteArray EncryptedDuplicate::duplicateName(const QByteArray& chartPath) {
    const qsizetype dot = ExtensionStart(chartPath);
    return (dot < 0 ? chartPath : chartPath.left(dot)) + ".zlx";
}

bool EncryptedDuplicate::hasDuplicateExtension(const QByteArray& path) {
    const qsizetype dot = ExtensionStart(path);
    return dot >= 0 && path.mid(dot).compare(".zlx", Qt::CaseInsensitive) == 0;
}

bool EncryptedDuplicate::WriteEncryptedDuplicate(const QByteArray& chartPath,
                                                 const QByteArray& dateFormat,
                                                 const QByteArray& userBlock) {
    AtomicFile duplicate(duplicateName(chartPath));
    if (!writeBeside(chartPath, duplicate, dateFormat, userBlock)) return false;
    if (!duplicate.replace()) {
        fail(kCannotSave, kCannotSaveStatus);
        return false;
    }
    showSaved();
    return true;
}

bool EncryptedDuplicate::writeBeside(const QByteArray& chartContent, AtomicFile& duplicate,
                                     const QByteArray& dateFormat, const QByteArray& userBlock) {
    if (!duplicate.open()) {
        fail(kCannotSave, kCannotSaveStatus);
        return false;
    }
    QFile chart;
    const int fd = ::open(chartContent.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !chart.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) ::close(fd);
        fail(kReadError, kReadError);
        return false;
    }

    duplicate.append(DateFormatAndCreationLines(dateFormat, clock_.now()));
    duplicate.append(userBlock);
    BodyScrambler body;
    std::vector<char> in(kReadChunk);
    std::vector<char> out(2 * kReadChunk + 3);
    for (;;) {
        const qint64 n = chart.read(in.data(), kReadChunk);
        if (n < 0) {
            fail(kReadError, kReadError);
            return false;
        }
        if (n == 0) break;
        duplicate.append(out.data(), body.feed(in.data(), n, out.data()) - out.data());
    }
    duplicate.append(out.data(), body.finish(out.data()) - out.data());
    if (!duplicate.finish()) {
        fail(kCannotSave, kCannotSaveStatus);
        return false;
    }
    return true;
}

void EncryptedDuplicate::showSaved() {
    State& s = state_;
    s.SecureData.setVisible(true);
    s.LockImage.setVisible(true);
    s.Edit1.setText("Data file and encrypted duplicate (*.zlx) saved.");
}

void EncryptedDuplicate::fail(const QByteArray& message, const QByteArray& status) {
    state_.SecureData.setVisible(false);
    state_.LockImage.setVisible(false);
    dialogs_.problem(message);
    state_.Edit1.setText(status);
}

} // namespace zantrel
