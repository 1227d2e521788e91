#pragma once

// One run of a program in a folder, ended from outside when asked: SIGKILL at a moment, SIGKILL
// the moment a monthly file of the folder is created or grows, or a limit on the size of the
// files it writes (a full disk, as the program sees it). A run that prints nothing for too
// long is taken to hang and is killed too.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zantrel::bench {

struct RunLimits {
    int killAfterMs = -1;      // SIGKILL this long after the start; -1 never
    int killOnFileChange = 0;  // SIGKILL at the n-th creation or write of a monthly file; 0 never
    qint64 fileSizeLimit = -1; // the child's RLIMIT_FSIZE in bytes; -1 none
    int hangGuardMs = 25000;   // this long without a status text: the run hangs
};

// Crashed: ended by a signal the bench did not send.
enum class RunEnd { Exited, Crashed, Killed, KilledOnFileChange, Hung, NotStarted };

struct RunOutcome {
    RunEnd end = RunEnd::NotStarted;
    int exitCode = -1;
    double ms = 0;
    QByteArray err;
    QString changedFile; // the monthly file whose change triggered the kill

    bool succeeded() const { return end == RunEnd::Exited && exitCode == 0; }
    QByteArray lastErrLine() const;
};

RunOutcome RunProgram(const QString& program, const QStringList& arguments, const QString& folder,
                      const RunLimits& limits);

// A chart file, duplicate or piece of the monthly files: T1202603site.csv, T2202604site_3.zxl.
bool IsMonthlyFileName(const QString& name);

} // namespace zantrel::bench
