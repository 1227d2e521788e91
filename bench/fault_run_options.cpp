#include "fault_run_options.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <cstdio>

namespace zantrel::bench {

std::optional<FaultRunOptions> ParseFaultRunOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs zantrel-cli auto --once against zantrel-sim round after round, each round one "
        "download killed or given a fault, then a clean one; checks that the monthly files "
        "hold every reading exactly once.");
    parser.addHelpOption();
    const QCommandLineOption seed("seed", "Seed of the run (default: from the clock).", "n");
    const QCommandLineOption rounds("rounds", "Rounds (default 40).", "n");
    QStringList names;
    for (Fault f : EveryFault())
        names.append(FaultName(f));
    const QCommandLineOption faults("faults",
                                    "Faults to draw from, comma-separated: none, " +
                                        names.join(", ") + " (default every one but none).",
                                    "list");
    const QCommandLineOption fast("fast-share",
                                  "Share of rounds at the logger's fast rate (default 0.1); the "
                                  "others run at 19200 throughout, which is much quicker.",
                                  "share");
    const QCommandLineOption plant("plant",
                                   "Spoil the files before the check, to see it fail: "
                                   "duplicate (a copied piece and a repeated row) or missing (the "
                                   "newest piece removed).",
                                   "what");
    const QCommandLineOption keep("keep", "Keep the working folder (kept anyway on a failure).");
    const QCommandLineOption cli("cli", "The zantrel-cli to run.", "path");
    const QCommandLineOption sim("sim", "The zantrel-sim to run.", "path");
    parser.addOptions({seed, rounds, faults, fast, plant, keep, cli, sim});
    parser.process(app);

    FaultRunOptions o;
    o.seed = parser.isSet(seed) ? parser.value(seed).toUInt()
                                : quint32(QDateTime::currentMSecsSinceEpoch() % 1000000);
    if (parser.isSet(rounds)) o.rounds = parser.value(rounds).toInt();
    if (parser.isSet(fast)) o.fastRateShare = parser.value(fast).toDouble();
    if (parser.isSet(faults)) {
        o.faults.clear();
        for (const QString& name : parser.value(faults).split(',')) {
            const std::optional<Fault> f = FaultFromName(name.trimmed());
            if (!f) {
                std::fprintf(stderr, "unknown fault: %s\n", qPrintable(name));
                return std::nullopt;
            }
            o.faults.append(*f);
        }
    }
    o.plant = parser.value(plant);
    if (!o.plant.isEmpty() && o.plant != "duplicate" && o.plant != "missing") {
        std::fprintf(stderr, "--plant takes duplicate or missing\n");
        return std::nullopt;
    }
    if (o.rounds < 1) {
        std::fprintf(stderr, "--rounds must be at least 1\n");
        return std::nullopt;
    }
    o.keep = parser.isSet(keep);
    if (parser.isSet(cli)) o.cli = parser.value(cli);
    if (parser.isSet(sim)) o.sim = parser.value(sim);
    return o;
}

} // namespace zantrel::bench
