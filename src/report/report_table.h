#pragma once

#include <QString>

namespace zantrel {

class PageFlow;
struct FigureTable;

// A table under its heading, its header row in bold: each column as wide as its widest cell,
// the room left shared among them. A table that runs past a page continues on the next with
// its header repeated; one without rows says `none` under its heading.
void DrawTable(PageFlow& flow, const QString& heading, const FigureTable& table,
               const QString& none);

} // namespace zantrel
