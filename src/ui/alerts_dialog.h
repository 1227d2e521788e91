#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace zantrel {

class AlertLog;
class Clock;
class DownloadRecord;

// Chart, "Alerts...": every alert of ALERTS.DAT with its time, kind and figures, and who
// acknowledged it. "Acknowledge" asks for a comment and records it with the login name and
// the time. A log or a record of downloads that did not read all is said above the list.
class AlertsDialog : public QDialog {
    Q_OBJECT
  public:
    // log and record: none before the schedule has a file to download into.
    AlertsDialog(AlertLog* log, const DownloadRecord* record, Clock& clock,
                 QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* acknowledgeButton() const { return acknowledge_; }
    // Acknowledges the alert of the table's current row with the comment; false when that
    // could not be recorded (a box says why).
    bool acknowledgeCurrent(const QString& comment);

  private:
    void fill();
    void askForComment();

    AlertLog* log_;
    Clock& clock_;
    QTableWidget* table_;
    QPushButton* acknowledge_;
};

} // namespace zantrel
