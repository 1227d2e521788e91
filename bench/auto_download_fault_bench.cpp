// Fault injection for unattended downloads: zantrel-cli auto --once and zantrel-sim run as a
// user runs them, round after round on a logger that holds a few more readings each time. Each
// round one download is killed (SIGKILL at a random moment, or the moment a monthly file is
// created or written) or meets a fault (a bad block retried then good or never good, a silent
// logger, a vanished logger, a full disk), and a clean download follows that must succeed. At
// the end every duplicate of every month is loaded back: together they must hold each of the
// logger's readings exactly once, with its values, and the plain monthly files as many rows.
// Prints the counts and a verdict; exits 1 when the promise fails.
#include "bench_measure.h"
#include "fault_run.h"
#include "fault_run_options.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace zantrel::bench;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<FaultRunOptions> options = ParseFaultRunOptions(app);
    if (!options) return 2;
    QTemporaryDir root;
    std::printf("fault-injection run: seed %u (repeat with --seed %u), %d rounds, folder %s\n",
                options->seed, options->seed, options->rounds, qPrintable(root.path()));
    const Steady::time_point start = Steady::now();
    FaultRun run(*options, root.path());
    QStringList failures;
    if (const QString broken = run.calibrate(); !broken.isEmpty()) {
        failures.append(broken);
    } else {
        for (int round = 0; round < options->rounds; ++round)
            run.runRound(round);
        if (!options->plant.isEmpty()) run.plant();
        run.printCounts();
        failures = run.check();
    }
    const bool passed = failures.isEmpty();
    root.setAutoRemove(passed && !options->keep);
    std::printf("%s after %.0f s: %s\n", passed ? "PASS" : "FAIL", MsSince(start) / 1000,
                passed ? "every reading is in the monthly files exactly once and they load back"
                       : qPrintable(failures.join("; ")));
    if (!root.autoRemove()) std::printf("the files are kept in %s\n", qPrintable(root.path()));
    return passed ? 0 : 1;
}
