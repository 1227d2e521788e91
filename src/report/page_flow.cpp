#include "report/page_flow.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <qcustomplot.h>

namespace zantrel {

namespace {

// Room kept at the bottom of every page for its foot, points.
constexpr double kFootRoom = 18;

QFont Font(int points, bool bold = false) {
    // Pixel sizes, since the painter is scaled to points: a pixel of the font is a point.
    QFont font("DejaVu Sans");
    font.setPixelSize(points);
    font.setBold(bold);
    // No ligatures, so the text taken from the PDF reads "fi", not a ligature glyph.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

} // namespace

ReportFonts::ReportFonts()
    : title(Font(15, true)), heading(Font(11, true)), body(Font(8)), bold(Font(8, true)),
      small(Font(7)) {}

PageFlow::PageFlow(QPagedPaintDevice& device, QCPPainter* painter, int pageCount,
                   const QString& foot)
    : device_(device), painter_(painter),
      area_(device.pageLayout().paintRect(QPageLayout::Point).size()), pageCount_(pageCount),
      foot_(foot) {
    area_.setHeight(area_.height() - kFootRoom);
}

void PageFlow::keep(double height) {
    if (y_ > 0 && height > room()) newPage();
}

void PageFlow::newPage() {
    paintFoot();
    if (painter_) device_.newPage();
    ++page_;
    y_ = 0;
}

int PageFlow::finish() {
    paintFoot();
    return page_;
}

double PageFlow::lineHeight(const QFont& font) const {
    return QFontMetricsF(font, &device_).height() * 1.25;
}

double PageFlow::textWidth(const QFont& font, const QString& text) const {
    return QFontMetricsF(font, &device_).horizontalAdvance(text);
}

QStringList PageFlow::wrap(const QFont& font, const QString& text, double width) const {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && textWidth(font, longer) > width) {
            lines.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) lines.append(line);
    return lines;
}

void PageFlow::text(double x, double width, const QFont& font, const QString& text,
                    Qt::Alignment alignment) {
    if (!painter_) return;
    painter_->setFont(font);
    painter_->drawText(QRectF(x, y_, width, lineHeight(font)),
                       int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), text);
}

void PageFlow::rule(double x1, double x2, double y) {
    if (!painter_) return;
    painter_->setPen(QPen(Qt::black, 0.5));
    painter_->drawLine(QPointF(x1, y), QPointF(x2, y));
}

void PageFlow::paintFoot() {
    if (!painter_) return;
    const double y = area_.height() + kFootRoom;
    const QFont& font = fonts_.small;
    const double h = lineHeight(font);
    rule(0, width(), y - h - 2);
    painter_->setFont(font);
    painter_->drawText(QRectF(0, y - h, width() * 0.7, h), int(Qt::AlignLeft | Qt::AlignVCenter),
                       foot_);
    painter_->drawText(QRectF(0, y - h, width(), h), int(Qt::AlignRight | Qt::AlignVCenter),
                       QString("Page %1 of %2").arg(page_).arg(pageCount_));
}

} // namespace zantrel
