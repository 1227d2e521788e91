// 500 automatic downloads in a row through the engine, its reader thread and a pseudo-terminal
// against the simulated logger, on virtual time: before each one the logger has recorded four
// more readings. Prints the program's resident memory and open descriptors at the start and
// the end; neither should grow.
#include "auto_download_harness.h"
#include "core/state.h"
#include "schedule/schedule_menu.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace zantrel;

namespace {

constexpr int kDownloads = 500;
constexpr int kMoreEachTime = 4;

// Resident memory now, in MB.
double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

qsizetype OpenDescriptors() {
    return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size();
}

sim::LoggerConfig Logger(int readings) {
    return GridLogger(sim::wallTime(2026, 3, 20, 0, 7, 30), readings);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int readings = 8;
    AutoDownloadHarness h(Logger(readings));
    Engine& engine = h.start();
    engine.scheduleMenu().ChannelClick(h.state().C2);
    h.arm(h.state().Auto1hour);
    if (!h.waitForDownloads(1)) {
        std::fprintf(stderr, "the first download did not end\n");
        return 1;
    }
    const double startMb = ResidentMb();
    const qsizetype startFds = OpenDescriptors();
    std::printf("after download 1: resident %.1f MB, %lld open descriptors\n", startMb,
                static_cast<long long>(startFds));

    int failed = 0;
    for (int i = 1; i < kDownloads; ++i) {
        h.replaceLogger(Logger(readings += kMoreEachTime));
        const double toDue = h.state().AutoClockTime.load() - h.clock().steadySeconds();
        h.clock().advanceMs(std::llround((std::max(toDue, 0.0) + 60) * 1000));
        if (!h.waitForDownloads(1)) {
            std::fprintf(stderr, "download %d did not end\n", i + 1);
            return 1;
        }
        if (!h.downloads().back().second) ++failed;
    }
    std::printf("after download %d: resident %.1f MB, %lld open descriptors\n", kDownloads,
                ResidentMb(), static_cast<long long>(OpenDescriptors()));
    std::printf("downloads %zu, failed %d, readings stored %d\n", h.downloads().size(), failed,
                readings);
    return failed == 0 ? 0 : 1;
}
