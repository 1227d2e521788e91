#include "cli/argument_bytes.h"
#include "cli/cli.h"
#include "core/clock.h"

#include <QCoreApplication>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

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
    // A closed pipe on standard output is a failed write to report, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);

    // The arguments and the current folder as the bytes they are.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << ArgumentText(QByteArray(argv[i]));
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);

    RealClock clock;
    CliContext context{clock, folder ? QByteArray(folder.get()) : QByteArray("."), std::cout,
                       std::cerr, &interrupt};
    return RunCli(arguments, context);
}
