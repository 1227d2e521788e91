#pragma once

// What goes wrong in a round of the fault-injection run, drawn from a seeded generator so that
// a seed repeats a run.
#include "program_run.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <random>

namespace zantrel::bench {

enum class Fault {
    None,
    Kill,              // SIGKILL at a moment uniform over a download
    KillInAppend,      // SIGKILL the moment a monthly file is created or written
    BadBlockRetried,   // a bad checksum that a retry mends
    BadBlockNeverGood, // a bad checksum on every request
    Silence,           // the logger stops answering
    Vanish,            // the logger's line goes away mid-block
    FullDisk,          // writes beyond a size fail
};

QString FaultName(Fault fault);
std::optional<Fault> FaultFromName(const QString& name);
// Every fault but None: the default mix.
QList<Fault> EveryFault();

struct RoundPlan {
    Fault fault = Fault::None;
    bool fastRate = false;    // the logger's fast rate, or the whole download at 19200
    QStringList simArguments; // the simulator's fault options
    RunLimits limits;         // how the download is ended or hindered from outside
    QString detail;           // the fault as a reader of the report wants it
};

class FaultPlanner {
  public:
    FaultPlanner(quint32 seed, QList<Fault> faults, double fastRateShare);
    // The next round's fault, for a logger holding `readings` per channel whose clean download
    // took `downloadMs` at the rate this round is given.
    RoundPlan next(int readings, const double (&downloadMs)[2]);
    // A size limit for the full disk: around the size the biggest monthly file has now.
    void setLargestFile(qint64 bytes) { largestFile_ = bytes; }

  private:
    int uniform(int low, int high);
    QString silenceStep(int readings, bool fastRate);

    std::mt19937 random_;
    QList<Fault> faults_;
    double fastRateShare_;
    qint64 largestFile_ = 0;
};

} // namespace zantrel::bench
