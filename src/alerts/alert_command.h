#pragma once

#include <QByteArray>

namespace zantrel {

class Clock;
struct Alert;

// How long an alert command may run before it is killed, seconds.
inline constexpr int kAlertCommandSeconds = 30;

// The command the user gave to pass alerts on (a mail, a webhook), run by /bin/sh once per
// alert with the alert as one JSON object on standard input and its text in ZANTREL_ALERT.
// Its output goes where the program's goes. It is waited for on the clock given; one still
// running after kAlertCommandSeconds is killed.
class AlertCommand {
  public:
    AlertCommand(const QByteArray& command, Clock& clock);

    // Runs the command for the alert: empty when it ran and exited with 0, else what went
    // wrong ("exit status 3", "killed after 30 s", "could not be started: ...").
    QByteArray run(const Alert& alert);

  private:
    QByteArray command_;
    Clock& clock_;
};

} // namespace zantrel
