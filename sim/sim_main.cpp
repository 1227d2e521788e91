// zantrel-sim: a ZL data logger on a pseudo-terminal, for trying the program without a device.

#include "sim/logger_simulator.h"
#include "sim/sim_options.h"
#include "zantrel_version.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <ctime>

using namespace zantrel::sim;

namespace {

const char* kindName(CommandKind kind) {
    switch (kind) {
    case CommandKind::HeaderRequest:
        return "header request";
    case CommandKind::ChannelSelect:
        return "channel digit";
    case CommandKind::BlockRequest:
        return "block request";
    case CommandKind::SpeedChange:
        return "speed change";
    case CommandKind::EndFastSession:
        return "end of fast session";
    case CommandKind::Stop:
        return "stop";
    case CommandKind::Unknown:
        break;
    }
    return "unknown bytes";
}

void report(const Command& c) {
    std::fprintf(stderr, "zantrel-sim: %s \"%s\"", kindName(c.kind),
                 QByteArray(c.bytes).toPercentEncoding("?+").constData());
    if (c.block >= 0) std::fprintf(stderr, ", block %d", c.block);
    std::fprintf(stderr, ", line at %d baud\n", c.lineBaud);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zantrel-sim");
    QString error;
    const auto options = parseSimOptions(app.arguments(), QDateTime::currentDateTime(), &error);
    if (!options) {
        std::fprintf(stderr, "zantrel-sim: %s\nTry zantrel-sim --help.\n", qPrintable(error));
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(options->helpText), stdout);
        return 0;
    }
    if (options->version) {
        std::puts("zantrel-sim " ZANTREL_VERSION);
        return 0;
    }

    // The stop signals are blocked in every thread (the simulator's inherits the mask) and
    // taken here, synchronously.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    LoggerSimulator sim(options->config);
    if (!sim.start(&error)) {
        std::fprintf(stderr, "zantrel-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(sim.devicePath()));
    std::fflush(stdout);

    const timespec tick{0, 200 * 1000 * 1000};
    size_t reported = 0;
    while (sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
        if (options->verbose) {
            const auto commands = sim.commands();
            for (; reported < commands.size(); ++reported)
                report(commands[reported]);
        }
        if (sim.vanished()) {
            std::fprintf(stderr, "zantrel-sim: closed the line as asked (--close-after)\n");
            break;
        }
    }
    sim.stop();
    return 0;
}
