#pragma once

#include "core/control.h"

#include <QByteArray>
#include <cmath>

namespace zantrel {

// The session values of the block loop, shared by the request step and the packet decoder.
struct UploadBlocks {
    QByteArray DataRequest;     // channel, start and count fields of the last request
    QByteArray FastBaudCommand; // the speed-change command last sent
    double BlockStart = 0, BlockEnd = 0, SavedBlockStart = 0;
    // The block's bounds as the request states them, to the whole second.
    QByteArray BlockStartText, BlockEndText;
    double RequestStart = 0, RequestEnd = 0;
    int BlockRepeats = 0;
    int BlockCount = 0;
    int TotalReadings = 0;
};

// The date-time a date picker and a time picker show together, to the whole second: the
// pickers' text forms carry no fraction of a second.
inline double PickerDateTime(const Control& date, const Control& time) {
    const double day = std::floor(date.value());
    const double seconds = std::floor((time.value() - std::floor(time.value())) * 86400.0 + 0.5);
    return day + seconds / 86400.0;
}

} // namespace zantrel
