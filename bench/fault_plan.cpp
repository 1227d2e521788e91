#include "fault_plan.h"

#include <algorithm>

namespace zantrel::bench {

namespace {

struct FaultInfo {
    Fault fault;
    const char* name;
    int weight; // how often it is drawn, against the others
};

// Kills weigh most: they may land anywhere, and the appends are the narrowest target.
constexpr FaultInfo kFaults[] = {
    {Fault::None, "none", 1},
    {Fault::Kill, "kill", 3},
    {Fault::KillInAppend, "kill-in-append", 2},
    {Fault::BadBlockRetried, "bad-block-retried", 1},
    {Fault::BadBlockNeverGood, "bad-block-never-good", 1},
    {Fault::Silence, "silence", 1},
    {Fault::Vanish, "vanish", 1},
    {Fault::FullDisk, "full-disk", 1},
};

const FaultInfo& Info(Fault fault) {
    for (const FaultInfo& info : kFaults)
        if (info.fault == fault) return info;
    return kFaults[0];
}

// Retries the session makes after a bad block before it gives up.
constexpr int kRetries = 3;
// Creations and writes of monthly files in a download of both channels: per channel the
// chart file written and a duplicate piece created and written, more when files are new or
// the download crosses into a new month.
constexpr int kMostFileChanges = 7;
// Bytes a round's download adds to a chart file, and some more: a size limit up to the largest
// file and this far beyond it fails some appends and lets others through.
constexpr int kMostAppended = 800;
// A reading takes at least this many bytes of a block.
constexpr int kLeastBytesPerReading = 3;

} // namespace

QString FaultName(Fault fault) {
    return Info(fault).name;
}

std::optional<Fault> FaultFromName(const QString& name) {
    for (const FaultInfo& info : kFaults)
        if (name == info.name) return info.fault;
    return std::nullopt;
}

QList<Fault> EveryFault() {
    QList<Fault> faults;
    for (const FaultInfo& info : kFaults)
        if (info.fault != Fault::None) faults.append(info.fault);
    return faults;
}

FaultPlanner::FaultPlanner(quint32 seed, const QList<Fault>& faults, int rounds,
                           double fastRateShare)
    : random_(seed), fastRateShare_(fastRateShare) {
    int total = 0;
    for (Fault f : faults)
        total += Info(f).weight;
    for (Fault f : faults)
        for (int n = rounds * Info(f).weight / total; n > 0; --n)
            deck_.append(f);
    // What rounding left over is drawn by weight.
    while (deck_.size() < rounds) {
        int pick = uniform(0, total - 1);
        for (Fault f : faults)
            if ((pick -= Info(f).weight) < 0) {
                deck_.append(f);
                break;
            }
    }
    std::shuffle(deck_.begin(), deck_.end(), random_);
}

int FaultPlanner::uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

QString FaultPlanner::silenceStep(int blockBytes, bool fastRate) {
    QStringList steps = {"header", QString("header:%1").arg(uniform(1, 300)), "block:0",
                         QString("packet:0:%1").arg(uniform(1, blockBytes))};
    if (fastRate) steps.append("speed");
    return steps[uniform(0, int(steps.size()) - 1)];
}

RoundPlan FaultPlanner::next(int newReadings, const double (&downloadMs)[2]) {
    // A byte offset inside the block of the new readings, which is all a download asks for.
    const int blockBytes = newReadings * kLeastBytesPerReading;
    RoundPlan plan;
    plan.fault = deck_.isEmpty() ? Fault::None : deck_.takeFirst();
    plan.fastRate = std::uniform_real_distribution<double>(0, 1)(random_) < fastRateShare_;
    switch (plan.fault) {
    case Fault::None:
        break;
    case Fault::Kill:
        plan.limits.killAfterMs = uniform(0, int(downloadMs[plan.fastRate]));
        plan.detail = QString("at %1 ms").arg(plan.limits.killAfterMs);
        break;
    case Fault::KillInAppend:
        plan.limits.killOnFileChange = uniform(1, kMostFileChanges);
        plan.detail = QString("at file change %1").arg(plan.limits.killOnFileChange);
        break;
    case Fault::BadBlockRetried:
        plan.simArguments = {"--bad-checksum", QString("0:%1").arg(uniform(1, kRetries))};
        break;
    case Fault::BadBlockNeverGood:
        plan.simArguments = {"--bad-checksum", "0:99"};
        break;
    case Fault::Silence:
        plan.simArguments = {"--silence", silenceStep(blockBytes, plan.fastRate)};
        break;
    case Fault::Vanish:
        plan.simArguments = {"--close-after", QString("0:%1").arg(uniform(1, blockBytes))};
        break;
    case Fault::FullDisk:
        plan.limits.fileSizeLimit = uniform(0, int(largestFile_) + kMostAppended);
        plan.detail = QString("files up to %1 bytes").arg(plan.limits.fileSizeLimit);
        break;
    }
    if (!plan.simArguments.isEmpty()) plan.detail = plan.simArguments.join(' ');
    return plan;
}

} // namespace zantrel::bench
