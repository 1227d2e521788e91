#pragma once

// A simulated logger as a program of its own: started with its options, asked which device it
// serves, stopped at the end.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace zantrel::bench {

class SimProcess {
  public:
    SimProcess(const QString& program, const QStringList& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator and reads the device path it prints first; false with the reason.
    bool start(QString* error);
    QString device() const { return device_; }
    // Ends it, unless it ended by itself (a vanished logger does).
    void stop();

  private:
    QProcess process_;
    QString program_;
    QStringList arguments_;
    QString device_;
};

} // namespace zantrel::bench
