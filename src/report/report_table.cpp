#include "report/report_table.h"

#include "chart/figure_tables.h"
#include "report/page_flow.h"
#include "report/report_text.h"

#include <numeric>

namespace zantrel {

namespace {

// Space between columns, points.
constexpr double kColumnGap = 6;

QList<double> ColumnWidths(const PageFlow& flow, const FigureTable& table) {
    QList<double> widths;
    for (const QByteArray& column : table.columns)
        widths.append(flow.textWidth(flow.fonts().bold, QString::fromUtf8(column)));
    for (const QList<QByteArray>& row : table.rows)
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] =
                std::max(widths[i], flow.textWidth(flow.fonts().body, QString::fromUtf8(row[i])));
    for (double& w : widths)
        w += kColumnGap;
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    const double share = (flow.width() - total) / static_cast<double>(widths.size());
    for (double& w : widths)
        w = std::max(w + share, 0.0);
    return widths;
}

void DrawRow(PageFlow& flow, const QList<QByteArray>& cells, const QList<double>& widths,
             const QFont& font) {
    double x = 0;
    for (qsizetype i = 0; i < cells.size() && i < widths.size(); ++i) {
        flow.text(x, widths[i] - kColumnGap, font, QString::fromUtf8(cells[i]));
        x += widths[i];
    }
    flow.advance(flow.lineHeight(font));
}

void DrawHeader(PageFlow& flow, const FigureTable& table, const QList<double>& widths) {
    DrawRow(flow, table.columns, widths, flow.fonts().bold);
    flow.rule(0, flow.width(), flow.top());
    flow.advance(1);
}

} // namespace

void DrawTable(PageFlow& flow, const QString& heading, const FigureTable& table,
               const QString& none) {
    const ReportFonts& fonts = flow.fonts();
    const double row = flow.lineHeight(fonts.body);
    const double header = flow.lineHeight(fonts.bold) + 1;
    if (table.rows.isEmpty()) {
        DrawHeading(flow, heading, row);
        DrawParagraph(flow, none);
        return;
    }
    DrawHeading(flow, heading, header + row);
    const QList<double> widths = ColumnWidths(flow, table);
    DrawHeader(flow, table, widths);
    for (const QList<QByteArray>& cells : table.rows) {
        if (row > flow.room()) {
            flow.newPage();
            DrawHeader(flow, table, widths);
        }
        DrawRow(flow, cells, widths, fonts.body);
    }
}

} // namespace zantrel
