#include "ui/about_dialog.h"

#include "ui/application_icon.h"
#include "ui/centred_dialog.h"
#include "zantrel_version.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zantrel {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Zantrel(tm)");
    setFixedSize(221, 187);
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel("Zantrel Software", this);
    name->setAlignment(Qt::AlignCenter);
    QFont font = name->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    name->setFont(font);
    auto* version = new QLabel("Version " ZANTREL_VERSION, this);
    version->setAlignment(Qt::AlignCenter);
    layout->addStretch();
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addStretch();
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void TForm3::showCentred() {
    ShowCentred(*this, AvailableScreenArea(*this));
}

} // namespace zantrel
