#pragma once

#include <QByteArray>

namespace zantrel {

class Dialogs;
class UserInfoDialogs;
struct ReadingsStore;
struct State;

inline constexpr const char* kSaveFirstQuestion =
    "The chart holds readings that are not saved. Save them first?";

// Asks before a chart whose readings no file holds is cleared (an upload by hand, a new
// chart, a load, the end of the program): Save saves it first, Discard lets it go, Cancel
// keeps it. A chart that is saved, or empty, goes without a question.
class UnsavedChartGuard {
  public:
    UnsavedChartGuard(State& state, const ReadingsStore& readings, UserInfoDialogs& userInfo,
                      Dialogs& dialogs);
    // True when the chart may be cleared now: nothing unsaved, discarded, or saved.
    bool mayClear();

  private:
    State& state_;
    const ReadingsStore& readings_;
    UserInfoDialogs& userInfo_;
    Dialogs& dialogs_;
};

} // namespace zantrel
