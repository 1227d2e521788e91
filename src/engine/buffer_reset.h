#pragma once

#include "engine/chart_pauses.h"

namespace zantrel {

class Clock;
class HeaderRecord;
class Host;
struct ReadingsStore;
struct ChartModel;
struct State;

// "New/Clear": empties the chart and the readings and returns every flag and slot to the
// idle state, with the user information read again from USERINFO.DAT.
class BufferReset {
  public:
    BufferReset(State& state, ChartModel& chart, ReadingsStore& readings,
                HeaderRecord& headerRecord, Clock& clock, Host& host, ChartPauses chartPauses);
    void ClearBuffer();
    // The reset as the program ends: no chart is left to repaint, so nothing pauses.
    void clearAtExit();

  private:
    void reloadUserInformation();
    void addNoDataPoints();

    State& state_;
    ChartModel& chart_;
    ReadingsStore& readings_;
    HeaderRecord& headerRecord_;
    Clock& clock_;
    Host& host_;
    ChartPauses chartPauses_;
};

} // namespace zantrel
