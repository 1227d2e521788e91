#include "ui/port_dialog.h"
#include "core/dialogs.h"
#include "core/state.h"
#include "link/serial_link.h"

#include "engine/engine.h"
#include "link/port_text.h"
#include "ui/centred_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace zantrel {

namespace {

constexpr int kComNames = 255;

QLabel* MakeBigLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(16);
    label->setFont(font);
    return label;
}

} // namespace

TForm6::TForm6(Engine& engine, QWidget* parent) : QDialog(parent), engine_(engine) {
    setWindowTitle("Select Port");
    resize(200, 188);

    auto* top = new QFrame(this);
    top->setFrameShape(QFrame::StyledPanel);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->addWidget(MakeBigLabel("Current Port", top));
    Label1 = MakeBigLabel("COM???", top);
    Label1->setObjectName("Label1");
    Label1->setStyleSheet("QLabel { color: red; }");
    topLayout->addWidget(Label1);

    PortListBox = new QListWidget(this);
    PortListBox->setObjectName("PortListBox");
    PortListBox->setMinimumSize(81, 105);
    addDevicesPresent();
    for (int n = 1; n <= kComNames; ++n)
        PortListBox->addItem(QStringLiteral("COM%1").arg(n));
    // Wide enough for the longest entry beside its scroll bar.
    int widest = 0;
    for (int i = 0; i < PortListBox->count(); ++i)
        widest = std::max(
            widest, PortListBox->fontMetrics().horizontalAdvance(PortListBox->item(i)->text()));
    PortListBox->setMinimumWidth(widest + 2 * PortListBox->frameWidth() + 24 +
                                 PortListBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    auto* meaning = new QLabel("COMn = /dev/ttyS(n-1): COM1 is /dev/ttyS0.", this);
    meaning->setObjectName("ComMeaning");

    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("Apply");
    connect(apply, &QPushButton::clicked, this, &TForm6::ApplyClick);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Cancel");
    connect(cancel, &QPushButton::clicked, this, &TForm6::CancelClick);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(PortListBox, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addLayout(middle, 1);
    layout->addWidget(meaning);

    FormCreate();
}

void TForm6::FormCreate() {
    showPortName();
}

// Before the COM names: the serial devices plugged in now, by their device path, which is
// what gets stored ("/dev/ttyUSB0 - FT232R USB UART"). The description is only shown.
void TForm6::addDevicesPresent() {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString path =
            info.systemLocation().isEmpty() ? "/dev/" + info.portName() : info.systemLocation();
        // The port text is 8-bit: a path that does not fit it could not be opened again.
        if (QString::fromLatin1(path.toLatin1()) != path) continue;
        QString shown = path;
        if (!info.description().isEmpty()) shown += " - " + info.description();
        auto* item = new QListWidgetItem(shown, PortListBox);
        item->setData(Qt::UserRole, path);
        item->setToolTip(shown);
    }
}

void TForm6::showPortName() {
    Label1->setText(QString::fromLatin1(PortName(engine_.state().COMPORT.text())));
}

void TForm6::showCentred() {
    ShowCentred(*this, AvailableScreenArea(*this));
}

void TForm6::ApplyClick() {
    const QListWidgetItem* item = PortListBox->currentItem();
    if (!item || !item->isSelected()) {
        engine_.dialogs().problem("Please select a port from the list");
        return;
    }
    const QVariant path = item->data(Qt::UserRole);
    const QString port = path.isValid() ? path.toString() : item->text();
    engine_.link().SavePort(port.toLatin1());
    showPortName();
    close();
}

void TForm6::CancelClick() {
    close();
}

} // namespace zantrel
