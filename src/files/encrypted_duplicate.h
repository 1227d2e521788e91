#pragma once

#include <QByteArray>

namespace zantrel {

class AtomicFile;
class Clock;
class Dialogs;
struct State;

// The scrambled ".zlx" duplicate written beside every chart file: the date format, creation
// and user lines in plain text, then every line of the chart file scrambled behind a "?".
class EncryptedDuplicate {
  public:
    EncryptedDuplicate(State& state, Dialogs& dialogs, Clock& clock);
    // chartPath: the chart file just written and closed; userBlock: its four user lines.
    // Shows the secure-data indicator and returns true when the duplicate was written.
    bool WriteEncryptedDuplicate(const QByteArray& chartPath, const QByteArray& dateFormat,
                                 const QByteArray& userBlock);
    // Writes the duplicate of the chart file at chartContent into duplicate, which is left
    // finished beside its target for the caller to put in place. False, with the failure
    // shown, when it could not be written.
    bool writeBeside(const QByteArray& chartContent, AtomicFile& duplicate,
                     const QByteArray& dateFormat, const QByteArray& userBlock);
    // The status and the secure-data indicator of a chart saved with its duplicate.
    void showSaved();
    // The chart file's path with its extension replaced by ".zlx" (appended when none). The
    // extension starts at the last "." of the file name; dots in folder names do not count.
    static QByteArray duplicateName(const QByteArray& chartPath);
    // True when the file name's extension is ".zlx" in any case: such a chart file would be
    // its own duplicate.
    static bool hasDuplicateExtension(const QByteArray& path);

  private:
    void fail(const QByteArray& message, const QByteArray& status);

    State& state_;
    Dialogs& dialogs_;
    Clock& clock_;
};

} // namespace zantrel
