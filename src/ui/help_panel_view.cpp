#include "ui/help_panel_view.h"

#include "core/state.h"
#include "ui/binding_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace zantrel {

namespace {

constexpr const char* kHelpLines[] = {
    "TO ZOOM: Click left mouse and hold", "top left and drag to lower right",
    "TO UN-ZOOM: Click left mouse, drag", "to top left and release",
    "TO PAN: Click right mouse button",   "and drag left/right"};

} // namespace

QPixmap LockPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    // Shackle: an arch over the body.
    p.setPen(QPen(QColor(90, 90, 90), s * 0.12, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    shackle.moveTo(s * 0.3, s * 0.5);
    shackle.lineTo(s * 0.3, s * 0.32);
    shackle.arcTo(QRectF(s * 0.3, s * 0.1, s * 0.4, s * 0.4), 180, -180);
    shackle.lineTo(s * 0.7, s * 0.5);
    p.drawPath(shackle);
    // Body with a keyhole.
    p.setPen(QPen(QColor(120, 90, 0), s * 0.04));
    p.setBrush(QColor(230, 180, 30));
    p.drawRoundedRect(QRectF(s * 0.15, s * 0.45, s * 0.7, s * 0.5), s * 0.08, s * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 0));
    p.drawEllipse(QPointF(s * 0.5, s * 0.65), s * 0.07, s * 0.07);
    p.drawRect(QRectF(s * 0.47, s * 0.66, s * 0.06, s * 0.16));
    return picture;
}

HelpPanelView::HelpPanelView(State& state, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    for (const char* line : kHelpLines)
        layout->addWidget(new QLabel(line, this));
    layout->addStretch();

    auto* bottom = new QHBoxLayout;
    auto* secure = new QLabel(this);
    secure->setObjectName("SecureData");
    secure->setStyleSheet("QLabel { color: white; background: red; font-weight: bold; }");
    BindLabel(secure, state.SecureData);
    auto* lock = new QLabel(this);
    lock->setObjectName("LockImage");
    lock->setPixmap(LockPicture(24));
    BindEnabledVisible(lock, state.LockImage);
    hide_ = new QPushButton("Hide", this);
    hide_->setObjectName("BUTTON_HIDE");
    connect(hide_, &QPushButton::clicked, this, &HelpPanelView::hideRequested);
    bottom->addWidget(secure);
    bottom->addWidget(lock);
    bottom->addStretch();
    bottom->addWidget(hide_);
    layout->addLayout(bottom);
}

} // namespace zantrel
