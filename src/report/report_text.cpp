#include "report/report_text.h"

#include "report/page_flow.h"

#include <algorithm>

namespace zantrel {

namespace {

// Space above a heading and between it and its block, points.
constexpr double kAboveHeading = 10;
constexpr double kBelowHeading = 3;

} // namespace

void DrawHeading(PageFlow& flow, const QString& heading, double following) {
    const QFont& font = flow.fonts().heading;
    const double height = flow.lineHeight(font);
    flow.keep(kAboveHeading + height + kBelowHeading + following);
    if (flow.top() > 0) flow.advance(kAboveHeading);
    flow.text(0, flow.width(), font, heading);
    flow.advance(height);
    flow.rule(0, flow.width(), flow.top());
    flow.advance(kBelowHeading);
}

void DrawFields(PageFlow& flow, const QList<ReportField>& fields, double labelWidth) {
    const ReportFonts& fonts = flow.fonts();
    const double line = flow.lineHeight(fonts.body);
    const double valueWidth = flow.width() - labelWidth;
    for (const auto& [label, value] : fields) {
        const QStringList lines = flow.wrap(fonts.body, value, valueWidth);
        flow.keep(line * lines.size());
        flow.text(0, labelWidth, fonts.bold, label);
        for (const QString& part : lines) {
            flow.text(labelWidth, valueWidth, fonts.body, part);
            flow.advance(line);
        }
    }
}

void DrawFieldColumns(PageFlow& flow, const QList<ReportField>& fields, double labelWidth) {
    const ReportFonts& fonts = flow.fonts();
    const double line = flow.lineHeight(fonts.body);
    const double column = flow.width() / 2;
    const double label = std::min(labelWidth, column / 2);
    const qsizetype rows = (fields.size() + 1) / 2;
    for (qsizetype r = 0; r < rows; ++r) {
        flow.keep(line);
        for (const qsizetype i : {r, r + rows}) {
            if (i >= fields.size()) continue;
            const double x = i < rows ? 0 : column;
            flow.text(x, label, fonts.bold, fields[i].first);
            flow.text(x + label, column - label, fonts.body, fields[i].second);
        }
        flow.advance(line);
    }
}

void DrawParagraph(PageFlow& flow, const QString& text) {
    const QFont& font = flow.fonts().body;
    const double line = flow.lineHeight(font);
    for (const QString& part : flow.wrap(font, text, flow.width())) {
        flow.keep(line);
        flow.text(0, flow.width(), font, part);
        flow.advance(line);
    }
}

} // namespace zantrel
