#pragma once

#include <QByteArray>
#include <QString>

namespace zantrel {

// The same pattern as a QDateTime::toString format, the date and the time on separate lines,
// AM/PM as "AP": "mm/dd/yyyy hh:mm:ss AM/PM" gives "MM/dd/yyyy\nhh:mm:ss AP".
QString ToChartLabelFormat(const QByteArray& pattern);

} // namespace zantrel
