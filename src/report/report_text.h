#pragma once

#include <QList>
#include <QString>
#include <utility>

namespace zantrel {

class PageFlow;

// A label and its value, as a report's blocks list them.
using ReportField = std::pair<QString, QString>;

// A block's heading, kept on one page with the first `following` points of what comes under it.
void DrawHeading(PageFlow& flow, const QString& heading, double following);

// Fields one under the other: the labels in bold in a column labelWidth wide, each value
// beside its label, wrapped over as many lines as it needs.
void DrawFields(PageFlow& flow, const QList<ReportField>& fields, double labelWidth);

// Short fields in two columns side by side, the first half of them down the left one, the
// labels of each column labelWidth wide.
void DrawFieldColumns(PageFlow& flow, const QList<ReportField>& fields, double labelWidth);

// A paragraph of body text across the page.
void DrawParagraph(PageFlow& flow, const QString& text);

} // namespace zantrel
