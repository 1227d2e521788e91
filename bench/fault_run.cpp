#include "fault_run.h"

#include "bench_measure.h"
#include "core/user_info.h"
#include "monthly_audit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace zantrel::bench {

namespace {

constexpr const char* kFirstReading = "2026-03-31 22:30:00"; // the run crosses into April
constexpr int kPeriodSeconds = 60;
constexpr int kFirstReadings = 30; // more than the gaps' and events' indexes
constexpr int kMoreEachRound = 5;
constexpr const char* kBase = "site";
// Gaps and events at fixed readings: the simulator's sample ones move as the logger fills.
const QStringList kGapsAndEvents = {"--gap",   "1:20",
                                    "--gap",   "2:25",
                                    "--event", "1:0:new-sensor",
                                    "--event", "1:8:test-start",
                                    "--event", "1:14:test-end",
                                    "--event", "2:5:temp-alarm-start",
                                    "--event", "2:17:temp-alarm-end"};

// How a run ended, for its round's line.
QString Ending(const RunOutcome& run) {
    switch (run.end) {
    case RunEnd::Exited:
        return QString("exit %1 \"%2\"").arg(run.exitCode).arg(run.lastErrLine().constData());
    case RunEnd::Killed:
        return "killed";
    case RunEnd::KilledOnFileChange:
        return "killed as " + run.changedFile + " changed";
    case RunEnd::Hung:
        return QString("HUNG after \"%1\", killed").arg(run.lastErrLine().constData());
    case RunEnd::Crashed:
        return "CRASHED";
    case RunEnd::NotStarted:
        return "not started: " + QString::fromLocal8Bit(run.err);
    }
    return {};
}

void PrintTally(const QString& name, const Tally& t) {
    std::printf("%-22s %6d %9d %9d %6d %8d %6d %5d %7d %12d\n", qPrintable(name), t.rounds,
                t.faultedSucceeded, t.faultedFailed, t.kills, t.killsInAppends, t.killsMissed,
                t.hung, t.crashed, t.cleanFailed);
}

} // namespace

int FaultRun::readingsAt(int round) {
    return kFirstReadings + round * kMoreEachRound;
}

FaultRun::FaultRun(const FaultRunOptions& options, const QString& root)
    : o_(options), data_(root + "/data"), reference_(root + "/reference"),
      planner_(options.seed, options.faults, options.rounds, options.fastRateShare) {
    for (const QString& folder : {data_, reference_}) {
        QDir().mkpath(folder);
        QFile info(folder + "/USERINFO.DAT");
        if (info.open(QIODevice::WriteOnly))
            info.write(ComposeUserInformation("Soak", "Bench room", "1", "Zantrel"));
    }
}

QStringList FaultRun::loggerOptions(int readings, const QStringList& faults) const {
    return QStringList{"--first",    kFirstReading,
                       "--period",   QString::number(kPeriodSeconds),
                       "--readings", QString::number(readings),
                       "--seed",     QString::number(o_.seed % 100000)} +
           kGapsAndEvents + faults;
}

std::unique_ptr<SimProcess> FaultRun::startLogger(int readings, const QStringList& faults,
                                                  QString* why) const {
    auto logger = std::make_unique<SimProcess>(o_.sim, loggerOptions(readings, faults));
    if (!logger->start(why)) return nullptr;
    return logger;
}

RunOutcome FaultRun::download(SimProcess* logger, const QString& why, bool fastRate,
                              const RunLimits& limits, const QString& folder) const {
    if (!logger) {
        RunOutcome none;
        none.err = "zantrel-sim: " + why.toLocal8Bit();
        return none;
    }
    return RunProgram(o_.cli,
                      {"auto", "--port", portFor(*logger, fastRate), "--file",
                       QString(kBase) + ".csv", "--once", "--channels", "1,2"},
                      folder, limits);
}

// How long a clean download takes at each rate, in a folder of its own, so that a kill can be
// placed anywhere inside one.
QString FaultRun::calibrate() {
    QTemporaryDir scratch;
    for (bool fastRate : {false, true}) {
        if (fastRate && o_.fastRateShare <= 0) continue;
        QString why;
        const std::unique_ptr<SimProcess> logger = startLogger(readingsAt(0), {}, &why);
        const RunOutcome run = download(logger.get(), why, fastRate, {}, scratch.path());
        if (!run.succeeded())
            return "a clean download fails before any fault: " +
                   QString::fromLocal8Bit(run.lastErrLine());
        downloadMs_[fastRate] = run.ms;
    }
    std::printf("a clean download of both channels takes %.0f ms at 19200, %.0f ms at the fast "
                "rate\n",
                downloadMs_[0], downloadMs_[1]);
    return {};
}

qint64 FaultRun::largestFileOfNewestMonth() const {
    QString newest; // "yyyymm"
    qint64 largest = 0;
    for (const QFileInfo& f : QDir(data_).entryInfoList(QDir::Files)) {
        if (!IsMonthlyFileName(f.fileName())) continue;
        const QString month = f.fileName().mid(2, 6);
        if (month > newest) {
            newest = month;
            largest = 0;
        }
        if (month == newest) largest = std::max(largest, f.size());
    }
    return largest;
}

void FaultRun::count(Tally& t, const RoundPlan& plan, const RunOutcome& faulted,
                     const RunOutcome& clean) const {
    ++t.rounds;
    switch (faulted.end) {
    case RunEnd::Exited:
        ++(faulted.exitCode == 0 ? t.faultedSucceeded : t.faultedFailed);
        break;
    case RunEnd::Killed:
        ++t.kills;
        break;
    case RunEnd::KilledOnFileChange:
        ++t.killsInAppends;
        break;
    case RunEnd::Hung:
        ++t.hung;
        break;
    case RunEnd::Crashed:
    case RunEnd::NotStarted:
        ++t.crashed;
        break;
    }
    const bool killPlanned = plan.limits.killAfterMs >= 0 || plan.limits.killOnFileChange > 0;
    if (killPlanned && faulted.end == RunEnd::Exited) ++t.killsMissed;
    if (!clean.succeeded()) ++t.cleanFailed;
}

void FaultRun::runRound(int round) {
    const int readings = readingsAt(round);
    planner_.setLargestFile(largestFileOfNewestMonth());
    const RoundPlan plan = planner_.next(round == 0 ? readings : kMoreEachRound, downloadMs_);
    QString why;
    std::unique_ptr<SimProcess> logger = startLogger(readings, plan.simArguments, &why);
    const RunOutcome faulted = download(logger.get(), why, plan.fastRate, plan.limits, data_);
    // After a kill or a full disk the same logger stays on the line, with whatever it was still
    // sending, as a real one would; a logger given faults of its own is replaced by a sound one.
    if (!plan.simArguments.isEmpty()) {
        logger.reset();
        logger = startLogger(readings, {}, &why);
    }
    const RunOutcome clean = download(logger.get(), why, plan.fastRate, {}, data_);
    if (clean.succeeded()) downloadMs_[plan.fastRate] = clean.ms;
    count(tallies_[plan.fault], plan, faulted, clean);
    count(all_, plan, faulted, clean);
    std::printf("round %2d, %3d readings, %s: %s%s: %s (%.0f ms); clean: %s (%.0f ms)\n", round + 1,
                readings, plan.fastRate ? "fast rate" : "19200", qPrintable(FaultName(plan.fault)),
                plan.detail.isEmpty() ? "" : qPrintable(" " + plan.detail),
                qPrintable(Ending(faulted)), faulted.ms,
                clean.succeeded() ? "ok" : qPrintable("FAILED, " + Ending(clean)), clean.ms);
    std::fflush(stdout);
}

// Spoils the files as a fault would, to show that the check sees it.
void FaultRun::plant() {
    const QDir dir(data_);
    const QStringList pieces = MonthlyDuplicates(data_, kBase, 1);
    const QStringList charts = MonthlyChartFiles(data_, kBase, 1);
    if (pieces.isEmpty() || charts.isEmpty()) return;
    const QString newest = dir.filePath(pieces.last());
    if (o_.plant == "missing") {
        QFile::remove(newest);
        std::printf("planted: %s removed\n", qPrintable(pieces.last()));
        return;
    }
    // A second copy of the newest piece, and the chart file's last row once more.
    QString copy;
    for (int n = 0;
         QFile::exists(copy = dir.filePath(pieces.last().section('.', 0, 0).section('_', 0, 0) +
                                           QString("_%1.zxl").arg(n)));
         ++n) {
    }
    QFile::copy(newest, copy);
    QFile chart(dir.filePath(charts.last()));
    if (chart.open(QIODevice::ReadWrite)) {
        const QByteArrayList lines = chart.readAll().trimmed().split('\n');
        chart.write(lines.last().trimmed() + "\r\n");
    }
    std::printf("planted: %s copied as %s, the last row of %s repeated\n",
                qPrintable(pieces.last()), qPrintable(QFileInfo(copy).fileName()),
                qPrintable(charts.last()));
}

void FaultRun::printCounts() const {
    std::printf("\n%-22s %6s %9s %9s %6s %8s %6s %5s %7s %12s\n", "fault", "rounds", "exit 0",
                "exit !=0", "killed", "in-append", "missed", "hung", "crashed", "clean failed");
    for (auto t = tallies_.cbegin(); t != tallies_.cend(); ++t)
        PrintTally(FaultName(t.key()), t.value());
    PrintTally("all", all_);
    std::printf("(missed: the download ended before its kill came)\n\n");
}

// The downloads' failures, and the logger's readings (from one clean upload of each channel,
// loaded back) against what the monthly files hold.
QStringList FaultRun::check() {
    QStringList failures;
    if (all_.cleanFailed > 0)
        failures.append(QString("%1 clean downloads failed").arg(all_.cleanFailed));
    if (all_.hung > 0) failures.append(QString("%1 faulted downloads hung").arg(all_.hung));
    if (all_.crashed > 0)
        failures.append(QString("%1 faulted downloads crashed").arg(all_.crashed));
    SimProcess logger(o_.sim, loggerOptions(readingsAt(o_.rounds - 1)));
    QString why;
    if (!logger.start(&why)) return failures << "no logger for the reference: " + why;
    for (int channel : {1, 2}) {
        const QString ref = QString("reference%1.csv").arg(channel);
        const RunOutcome upload = RunProgram(o_.cli,
                                             {"upload", "--port", portFor(logger, false),
                                              "--channel", QString::number(channel), "--out", ref},
                                             reference_, {});
        const std::optional<QJsonArray> truth =
            upload.succeeded()
                ? LoadReadings(o_.cli, reference_, QString(ref).replace(".csv", ".zlx"), &why)
                : std::nullopt;
        if (!truth) {
            failures.append(QString("no reference upload of channel %1: %2")
                                .arg(channel)
                                .arg(upload.lastErrLine().constData()));
            continue;
        }
        const ChannelAudit a = AuditChannel(o_.cli, data_, kBase, channel, *truth);
        std::printf("channel %d: readings expected %d, found %d, duplicated %d, missing %d, "
                    "changed %d, foreign %d; %d duplicates, %d not loading; %d rows in the "
                    "monthly chart files\n",
                    channel, a.expected, a.found, a.duplicated, a.missing, a.changed, a.foreign,
                    a.pieces, int(a.notLoading.size()), a.csvRows);
        for (const QString& piece : a.notLoading)
            std::printf("  does not load: %s\n", qPrintable(piece));
        if (!a.passed())
            failures.append(QString("channel %1's monthly files do not hold every reading "
                                    "exactly once")
                                .arg(channel));
    }
    return failures;
}

} // namespace zantrel::bench
