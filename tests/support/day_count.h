#pragma once

#include "core/calendar.h"

namespace zantrel {

// The day count of a date and time that exists.
inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms).value();
}

inline const double kLastSecondOf2009 = 40178.0 + 86398.0 / 86400.0; // 31 December 2009 23:59:58

} // namespace zantrel
