#include "cli/cli.h"
#include "core/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <csignal>
#include <iostream>

using namespace zantrel;

namespace {

InterruptRequest interrupt;

void RequestInterrupt(int signal) {
    if (interrupt.watched.load()) {
        interrupt.raised = true;
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zantrel-cli");
    std::signal(SIGINT, RequestInterrupt);
    std::signal(SIGTERM, RequestInterrupt);

    RealClock clock;
    CliContext context{clock, QFile::encodeName(QDir::currentPath()), std::cout, std::cerr,
                       &interrupt};
    return RunCli(QCoreApplication::arguments().mid(1), context);
}
