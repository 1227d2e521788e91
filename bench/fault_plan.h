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
    // Deals `rounds` faults in proportion to their weights, shuffled, so that a run of a few
    // dozen rounds meets every fault it draws from.
    FaultPlanner(quint32 seed, const QList<Fault>& faults, int rounds, double fastRateShare);
    // The next round's fault (None once the deal is used up), for a download that gets
    // `newReadings` per channel and whose clean run took `downloadMs` at the rate drawn.
    RoundPlan next(int newReadings, const double (&downloadMs)[2]);
    // The full disk's size limit is drawn up to a little beyond this size.
    void setLargestFile(qint64 bytes) { largestFile_ = bytes; }

  private:
    int uniform(int low, int high);
    QString silenceStep(int blockBytes, bool fastRate);

    std::mt19937 random_;
    QList<Fault> deck_;
    double fastRateShare_;
    qint64 largestFile_ = 0;
};

} // namespace zantrel::bench
