#pragma once

// The fault-injection run: rounds of a faulted download and a clean one into one folder of
// monthly files, their counts, and the check of the files against the logger at the end.
#include "fault_plan.h"
#include "fault_run_options.h"
#include "program_run.h"
#include "sim_process.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

namespace zantrel::bench {

// The counts of one kind of fault, or of every round together.
struct Tally {
    int rounds = 0;
    int faultedSucceeded = 0; // the faulted download still exited 0
    int faultedFailed = 0;    // it exited non-zero
    int kills = 0;            // killed at its moment
    int killsInAppends = 0;   // killed on a monthly file's change
    int killsMissed = 0;      // the download ended before its kill
    int hung = 0;             // the faulted download hung and was killed
    int crashed = 0;          // it ended on a signal of its own
    int cleanFailed = 0;      // the clean download after it did not exit 0
};

class FaultRun {
  public:
    FaultRun(const FaultRunOptions& options, const QString& root);

    QString calibrate();
    void runRound(int round);
    void plant();
    void printCounts() const;
    // What breaks the promise; nothing when it holds.
    QStringList check();

  private:
    QStringList loggerOptions(int readings, const QStringList& faults = {}) const;
    static QString portFor(const SimProcess& logger, bool fastRate) {
        return fastRate ? logger.device() : logger.device() + ":19200";
    }
    // A simulated logger holding `readings` per channel, or none (and the reason).
    std::unique_ptr<SimProcess> startLogger(int readings, const QStringList& faults,
                                            QString* why) const;
    RunOutcome download(SimProcess* logger, const QString& why, bool fastRate,
                        const RunLimits& limits, const QString& folder) const;
    // The largest file of the newest month: the one the next append grows most.
    qint64 largestFileOfNewestMonth() const;
    void count(Tally& t, const RoundPlan& plan, const RunOutcome& faulted,
               const RunOutcome& clean) const;
    // Readings per channel the logger holds in a round.
    static int readingsAt(int round);

    const FaultRunOptions& o_;
    const QString data_, reference_;
    FaultPlanner planner_;
    double downloadMs_[2] = {0, 0}; // a clean download's duration at 19200 and at the fast rate
    QMap<Fault, Tally> tallies_;
    Tally all_;
};

} // namespace zantrel::bench
