#include "core/date_formats.h"

namespace zantrel {

int DateFormatItem(const QByteArray& format) {
    for (int i = 0; i < static_cast<int>(kDateFormats.size()); ++i)
        if (format == kDateFormats[i]) return i;
    return -1;
}

} // namespace zantrel
