#pragma once

#include "chart/readings_store.h"

#include <QByteArray>
#include <array>
#include <cstddef>
#include <vector>

namespace zantrel {

using EventLists = std::array<std::vector<double>, EventKindCount>;

// The event marks of successive readings. Each list keeps a cursor; a reading at time t takes
// every event from the cursor on up to and including t. Marks follow in the order of the
// lists, separated by ", ": "ns" alone for one event, "3 tas" for three. A test start is "ts"
// whether it is drawn as its packet arrives or redrawn from the store (in either unit).
class EventLabeller {
  public:
    explicit EventLabeller(const EventLists& lists);

    // extraNewSensors is added to the new-sensor count (the first reading of a session
    // always carries "ns").
    QByteArray next(double t, int extraNewSensors = 0);

  private:
    const EventLists& lists_;
    std::array<std::size_t, EventKindCount> cursors_{};
};

// Whether any list but the test ends holds two or more events and its last one lies between
// first and last, both included.
bool HasEventsInRange(const EventLists& lists, double first, double last);

} // namespace zantrel
