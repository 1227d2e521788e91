#pragma once

#include <QByteArray>

namespace zantrel {

class ChartPresenter;
class Clock;
class Dialogs;
struct ChartModel;
struct State;

// The foot line a printout ends with: when it was printed and whether the readings are
// backed by an encrypted duplicate. "Printed" starts in the same column in both forms.
QByteArray PrintStamp(bool secureData, const QByteArray& dateTime);

// File, "Print Chart": the chart on one landscape page with a line naming its file, channel
// and ZL ID and a stamp line in its foot.
class ChartPrinter {
  public:
    ChartPrinter(const State& state, ChartModel& chart, ChartPresenter& presenter, Dialogs& dialogs,
                 Clock& clock);
    void Button1Click();

  private:
    const State& state_;
    ChartModel& chart_;
    ChartPresenter& presenter_;
    Dialogs& dialogs_;
    Clock& clock_;
};

} // namespace zantrel
