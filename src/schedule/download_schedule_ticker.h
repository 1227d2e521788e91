#pragma once

#include "protocol/schedule_ticker.h"

namespace zantrel {

class Clock;
struct State;

// The download schedule falling due: the next download's time by the interval chosen, the
// channel of the download, and InitAutoload ticked when a file name is set for it.
class DownloadScheduleTicker final : public ScheduleTicker {
  public:
    DownloadScheduleTicker(State& state, const Clock& clock);
    void tick() override;

  private:
    State& state_;
    const Clock& clock_;
};

} // namespace zantrel
