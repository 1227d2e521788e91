#include "cli/argument_bytes.h"
#include "cli/cli.h"
#include "core/clock.h"

#include <QApplication>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
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
    // The report draws its chart with the chart view, a widget: that command alone runs a
    // QApplication, on the offscreen platform unless another is set, so it needs no display.
    const bool report = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
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
