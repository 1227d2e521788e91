#include "schedule/schedule_menu.h"

#include "core/state.h"

namespace zantrel {

ScheduleMenu::ScheduleMenu(State& state) : state_(state) {}

std::array<Control*, 6> ScheduleMenu::intervals() const {
    State& s = state_;
    return {&s.Auto1hour, &s.Auto4hours, &s.Auto8hrs, &s.Auto24hrs, &s.Auto7day, &s.Auto30day};
}

void ScheduleMenu::IntervalClick(Control& item) {
    if (!item.enabled()) return;
    state_.AutoOff.setChecked(false);
    for (Control* interval : intervals())
        interval->setChecked(interval == &item);
    state_.Edit2.clear();
    if (verifyUserInformation) verifyUserInformation();
}

void ScheduleMenu::AutoOffClick() {
    for (Control* interval : intervals())
        interval->setChecked(false);
    state_.AutoOff.setChecked(true);
    switchOff();
}

void ScheduleMenu::switchOff() {
    state_.TextForNextAuto.setVisible(false);
    state_.AutoClockBox.setVisible(false);
    state_.Edit2.clear();
    state_.InitAutoload.clear();
}

void ScheduleMenu::ChannelClick(Control& item) {
    item.setChecked(!item.checked());
    const bool any = state_.C1.checked() || state_.C2.checked();
    if (!any) AutoOffClick();
    for (Control* interval : intervals())
        interval->setEnabled(any);
}

} // namespace zantrel
