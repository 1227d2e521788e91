#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QCPPainter;
class QPagedPaintDevice;

namespace zantrel {

// The fonts of a report, their sizes in points.
struct ReportFonts {
    ReportFonts();
    QFont title, heading, body, bold, small;
};

// Lays a report's blocks down the pages of a paged device, in points from the top left of its
// printable area. Painting, it draws each page and its foot, "Page n of m"; without a painter it
// draws nothing and only counts the pages the same blocks take, so that a second pass can
// number them.
class PageFlow {
  public:
    // painter: the device's, scaled to points (a QCPPainter, so the chart view can paint with it),
    // or null to count pages only. pageCount: the pages of the whole report, as a count gave it.
    // foot: the text at the foot of every page.
    PageFlow(QPagedPaintDevice& device, QCPPainter* painter, int pageCount, const QString& foot);

    const ReportFonts& fonts() const { return fonts_; }
    QCPPainter* painter() const { return painter_; }
    double width() const { return area_.width(); }
    double top() const { return y_; }
    // Room left on this page, points.
    double room() const { return area_.height() - y_; }
    // The height of the page's area for blocks.
    double pageHeight() const { return area_.height(); }

    // Starts a new page unless height fits on this one.
    void keep(double height);
    void newPage();
    void advance(double height) { y_ += height; }
    // Ends the last page; returns the number of pages.
    int finish();

    double lineHeight(const QFont& font) const;
    double textWidth(const QFont& font, const QString& text) const;
    // text broken at blanks into lines no wider than width (a word wider than that on its own).
    QStringList wrap(const QFont& font, const QString& text, double width) const;
    // One line of text at x on the current line, within width (clipped), aligned left or right.
    void text(double x, double width, const QFont& font, const QString& text,
              Qt::Alignment alignment = Qt::AlignLeft);
    // A thin rule across from x1 to x2 at height y of this page.
    void rule(double x1, double x2, double y);

  private:
    void paintFoot();

    QPagedPaintDevice& device_;
    QCPPainter* painter_;
    ReportFonts fonts_;
    QSizeF area_;
    int pageCount_;
    QString foot_;
    int page_ = 1;
    double y_ = 0;
};

} // namespace zantrel
