#pragma once

#include <array>
#include <functional>

namespace zantrel {

class Control;
struct State;

// Setup, "Auto Download": the two channel check items, "Off" and the six intervals.
class ScheduleMenu {
  public:
    explicit ScheduleMenu(State& state);

    // "1 hour" ... "30 days": the interval is checked, the chosen file forgotten and the
    // user information verified; confirming it leads to the choice of the file.
    void IntervalClick(Control& item);
    void AutoOffClick();
    // "Channel 1" or "Channel 2" toggled: with neither checked the schedule is off and the
    // intervals are greyed out; with either, the intervals can be chosen.
    void ChannelClick(Control& item);

    std::array<Control*, 6> intervals() const;

    // Shows the user information verification dialog.
    std::function<void()> verifyUserInformation;

  private:
    void switchOff();

    State& state_;
};

} // namespace zantrel
