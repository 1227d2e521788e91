#pragma once

#include "alerts/alert.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace zantrel {

inline constexpr const char* kAlertsFile = "ALERTS.DAT";

// Who acknowledged an alert, when, and what they said.
struct Acknowledgement {
    QByteArray by;
    double at = 0;
    QByteArray comment;
};

struct LoggedAlert {
    Alert alert;
    std::optional<Acknowledgement> acknowledged;
};

// ALERTS.DAT: every alert raised and every acknowledgement, one JSON object a line, in the
// order they happened. Lines are only ever appended, each flushed to the disk before the
// alert goes anywhere else, so that a program started again knows every alert already
// raised and those still waiting for an acknowledgement. A line that does not read is
// skipped and left in the file.
class AlertLog {
  public:
    // Reads the file at path; a file not there yet is an empty log.
    explicit AlertLog(const QByteArray& path);

    const QByteArray& path() const { return path_; }
    const std::vector<LoggedAlert>& alerts() const { return alerts_; }
    const LoggedAlert* find(const QByteArray& id) const;
    bool contains(const QByteArray& id) const { return find(id) != nullptr; }
    // How many lines of the file did not read as an alert or an acknowledgement.
    int unreadableLines() const { return unreadable_; }

    // Appends the alert. False when the file could not be written (failure() says why); the
    // alert is kept all the same, so it is not lost while the program runs.
    bool append(const Alert& alert);
    // Records the acknowledgement of the alert with that id; false when there is no such
    // alert or the file could not be written.
    bool acknowledge(const QByteArray& id, const Acknowledgement& acknowledgement);
    const QByteArray& failure() const { return failure_; }

  private:
    void read();
    bool appendLine(const QJsonObject& object);

    QByteArray path_;
    std::vector<LoggedAlert> alerts_;
    int unreadable_ = 0;
    QByteArray failure_;
};

// The login name of the user running the program.
QByteArray LoginName();

} // namespace zantrel
