#pragma once

#include "chart/readings_store.h"

#include <QByteArray>
#include <array>
#include <cstddef>
#include <vector>

namespace zantrel {

using EventLists = std::array<std::vector<double>, EventKindCount>;

// Test starts are marked "tb" while a packet is drawn as it arrives and "ts" when the chart
// is redrawn from the store.
enum class TestStartMark { Live, Redrawn };

// The event marks of successive readings. Each list keeps a cursor; a reading at time t takes
// every event from the cursor on up to and including t. Marks follow in the order of the
// lists, separated by ", ": "ns" alone for one event, "3 tas" for three.
class EventLabeller {
  public:
    EventLabeller(const EventLists& lists, TestStartMark testStart);

    // extraNewSensors is added to the new-sensor count (the first reading of a session
    // always carries "ns").
    QByteArray next(double t, int extraNewSensors = 0);

  private:
    const EventLists& lists_;
    std::array<std::size_t, EventKindCount> cursors_{};
    const char* testStartMark_;
};

// Whether any list but the test ends holds two or more events and its last one lies between
// first and last, both included.
bool HasEventsInRange(const EventLists& lists, double first, double last);

} // namespace zantrel
