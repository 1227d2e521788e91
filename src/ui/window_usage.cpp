#include "ui/window_usage.h"
#include "zantrel_version.h"

namespace zantrel {

namespace {

constexpr const char* kHelp =
    "Usage: zantrel [--simulate] [CHART-FILE]\n"
    "\n"
    "Charts the readings of ZL temperature and humidity data loggers: uploads them over a\n"
    "serial port, saves chart files with their scrambled duplicate (.zlx), loads duplicates\n"
    "back and prints charts. A chart file named on the command line is loaded at start-up.\n"
    "The settings files COMPORT.DAT, DATEFMT.DAT and USERINFO.DAT are kept in the folder the\n"
    "program is started in.\n"
    "\n"
    "Options:\n"
    "  --simulate     talk to a simulated logger instead of the serial port, for this run\n"
    "                 only (COMPORT.DAT is neither read nor written)\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well. zantrel-cli does the same\n"
    "jobs without a window.\n";

} // namespace

bool AnswerUsageRequest(const QStringList& arguments, std::ostream& out) {
    for (const QString& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << kHelp;
            return true;
        }
        if (argument == "--version") {
            out << "zantrel " ZANTREL_VERSION "\n";
            return true;
        }
    }
    return false;
}

} // namespace zantrel
