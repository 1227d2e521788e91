#include "app/about_dialog.h"
#include "app/main_window.h"
#include "link/port_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>

using namespace zantrel;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zantrel");
    QApplication::setApplicationDisplayName("Zantrel");

    QStringList arguments = QApplication::arguments().mid(1);
    // Starting against a simulated logger is not available yet; the switch is accepted and
    // never taken for a chart file.
    arguments.removeAll("--simulate");

    TForm1 form1;
    form1.FormCreate(QFile::encodeName(QDir::currentPath()), arguments);
    auto* form3 = new TForm3(&form1);
    auto* form6 = new TForm6(form1.engine(), &form1);
    QObject::connect(&form1, &TForm1::aboutRequested, form3, &TForm3::showCentred);
    QObject::connect(&form1, &TForm1::portRequested, form6, &TForm6::showCentred);

    form1.show();
    return app.exec();
}
