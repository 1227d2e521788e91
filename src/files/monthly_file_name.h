#pragma once

#include <QByteArray>

namespace zantrel {

// The month a file of automatic downloads belongs to, from its file name: "T1202612site" for
// "T1202612site.csv", "T1202612site.zlx" or a numbered piece "T1202612site_3.zxl" (channel 2's
// "T2..." alike). Empty when the name is not one of these: no "T", channel and "yyyymm" in
// front, or a ".zxl" that is no numbered piece.
QByteArray MonthOfFile(const QByteArray& fileName);

} // namespace zantrel
