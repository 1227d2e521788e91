#pragma once

#include "event_wait.h"
#include "work_dir.h"

#include <QByteArrayList>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <dirent.h>

namespace zantrel {

// Only a guard against a hanging program: every wait normally ends far sooner.
inline constexpr int kProcessHangGuardMs = 60000;

// The ":19200" tail keeps a session at the normal speed: no speed change before a download
// and no wait for the logger's fast session to end before channel 2.
inline constexpr const char* kNormalSpeedTail = ":19200";

// zantrel-sim run as a program of its own with the options given, stopped at the end.
class SimProcess {
  public:
    explicit SimProcess(const QStringList& options) {
        process_.start(ZANTREL_SIM_BINARY,
                       QStringList{"--verbose", "--first", "2026-03-30 08:07:30"} + options);
        if (process_.waitForReadyRead(kProcessHangGuardMs))
            device_ = QString::fromLocal8Bit(process_.readLine().trimmed());
    }
    ~SimProcess() {
        process_.terminate();
        process_.waitForFinished(kProcessHangGuardMs);
    }
    const QString& device() const { return device_; }
    // Waits until the simulator reported a command whose report holds text.
    bool waitForReport(const QByteArray& text) {
        return WaitForEvents(
            [&] {
                reports_ += process_.readAllStandardError();
                return reports_.contains(text);
            },
            kProcessHangGuardMs);
    }

  private:
    QProcess process_;
    QString device_;
    QByteArray reports_;
};

// Starts zantrel-cli auto in dir against the simulator, at the normal speed.
inline void StartAuto(QProcess& cli, const WorkDir& dir, const SimProcess& sim,
                      const QStringList& more) {
    cli.setWorkingDirectory(QString::fromLocal8Bit(dir.path()));
    cli.start(ZANTREL_CLI_BINARY,
              QStringList{"auto", "--port", sim.device() + kNormalSpeedTail, "--file", "site.csv"} +
                  more);
}

// The lines of a program's output, without the empty one after the last line feed.
inline QByteArrayList OutputLines(const QByteArray& text) {
    QByteArrayList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The names in a folder, as the bytes they are, sorted.
inline QByteArrayList NamesIn(const WorkDir& dir) {
    QByteArrayList names;
    if (DIR* d = ::opendir(dir.path().constData())) {
        while (const dirent* entry = ::readdir(d))
            if (entry->d_name[0] != '.') names << QByteArray(entry->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace zantrel
