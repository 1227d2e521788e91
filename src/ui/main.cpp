#include "ui/about_dialog.h"
#include "ui/application_icon.h"
#include "ui/main_window.h"
#include "ui/port_dialog.h"
#include "ui/user_info_dialog.h"
#include "ui/window_usage.h"

#include "sim/demo_config.h"
#include "sim/logger_simulator.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

using namespace zantrel;

int main(int argc, char* argv[]) {
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    if (AnswerUsageRequest(given, std::cout)) return 0;

    QApplication app(argc, argv);
    // No display name: the window system would append it to every window's caption.
    QApplication::setApplicationName("Zantrel");
    QApplication::setDesktopFileName("org.zantrel.Zantrel");
    QApplication::setWindowIcon(ApplicationIcon());
    // A message box closed while the window is hidden in the tray must not end the program:
    // it ends when its window is closed.
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList arguments = QApplication::arguments().mid(1);
    // --simulate: a logger simulated in this process stands in for the serial port, for this
    // run only (COMPORT.DAT is neither read nor written).
    std::unique_ptr<sim::LoggerSimulator> logger;
    std::optional<QByteArray> port;
    if (arguments.removeAll("--simulate") > 0) {
        const QDateTime now = QDateTime::currentDateTime();
        logger = std::make_unique<sim::LoggerSimulator>(sim::demoLoggerConfig(
            sim::wallTime(now.date().year(), now.date().month(), now.date().day(),
                          now.time().hour(), now.time().minute())));
        QString error;
        if (logger->start(&error)) {
            port = QFile::encodeName(logger->devicePath());
        } else {
            std::fprintf(stderr, "zantrel: cannot start the simulated logger: %s\n",
                         qPrintable(error));
            return 1;
        }
    }

    TForm1 form1;
    form1.FormCreate(QFile::encodeName(QDir::currentPath()), arguments, port);
    auto* form3 = new TForm3(&form1);
    new TForm4(form1.engine(), &form1);
    new TForm5(form1.engine(), &form1);
    auto* form6 = new TForm6(form1.engine(), &form1);
    QObject::connect(&form1, &TForm1::aboutRequested, form3, &TForm3::showCentred);
    QObject::connect(&form1, &TForm1::portRequested, form6, &TForm6::showCentred);
    QObject::connect(&form1, &TForm1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    form1.show();
    return app.exec();
}
