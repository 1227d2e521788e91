#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace zantrel {

class BufferReset;
class ChartFileLoader;
class ChartPresenter;
class Clock;
struct ChartModel;
struct State;

// Start-up of the main window: the stored port, date format and axis limits, an empty
// chart, and the chart file named on the command line.
class Startup {
  public:
    // Names the Date Format items; the first is checked until a stored format says otherwise.
    Startup(State& state, ChartModel& chart, ChartPresenter& presenter, ChartFileLoader& loader,
            BufferReset& reset, Clock& clock);

    // settingsFolder is the working directory at start; arguments are the program's
    // arguments after its name. A given port is used for this run only: COMPORT.DAT is
    // neither read nor written for it.
    void FormCreate(const QByteArray& settingsFolder, const QStringList& arguments,
                    const std::optional<QByteArray>& port);

  private:
    State& state_;
    ChartModel& chart_;
    ChartPresenter& presenter_;
    ChartFileLoader& loader_;
    BufferReset& reset_;
    Clock& clock_;
};

} // namespace zantrel
