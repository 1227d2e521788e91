#pragma once

#include <QByteArray>
#include <QList>

namespace zantrel {

// The duplicates that hold one month of automatic downloads, found from any one of its files
// ("T1202612site.csv", "T1202612site.zlx" or a numbered piece "T1202612site_3.zxl"; channel 2's
// "T2..." alike): the month's ".zlx" and every numbered "_n.zxl" beside it, in the order
// written ("_10" after "_9"). Files that are not there are left out, so the list may be empty.
// Ready to be given to ChartFileLoader::loadChartFiles.
QList<QByteArray> MonthPieces(const QByteArray& monthlyFile);

} // namespace zantrel
