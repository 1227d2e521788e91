#include "chart/event_labels.h"

namespace zantrel {

EventLabeller::EventLabeller(const EventLists& lists) : lists_(lists) {}

QByteArray EventLabeller::next(double t, int extraNewSensors) {
    static constexpr const char* kMarks[EventKindCount] = {"ns",   "tas", "RHas", "tae",
                                                           "RHae", "ts",  "te"};
    QByteArray label;
    for (int kind = 0; kind < EventKindCount; ++kind) {
        const std::vector<double>& list = lists_[kind];
        std::size_t& cursor = cursors_[kind];
        int n = kind == NewSensor ? extraNewSensors : 0;
        for (; cursor < list.size() && list[cursor] <= t; ++cursor)
            ++n;
        if (n <= 0) continue;
        if (!label.isEmpty()) label += ", ";
        if (n >= 2) label += QByteArray::number(n) + ' ';
        label += kMarks[kind];
    }
    return label;
}

bool HasEventsInRange(const EventLists& lists, double first, double last) {
    for (int kind = 0; kind < EventKindCount; ++kind) {
        if (kind == TestEnd) continue;
        const std::vector<double>& list = lists[kind];
        if (list.size() >= 2 && list.back() >= first && list.back() <= last) return true;
    }
    return false;
}

} // namespace zantrel
