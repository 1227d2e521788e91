#pragma once

#include <QByteArray>
#include <functional>

namespace zantrel {

class ChartPresenter;
class Clock;
class Dialogs;
struct ChartModel;
struct FormatSettings;
struct LoadedChart;
struct ReadingsStore;
struct State;

// "Load Chart" and the start-up load: reads a chart file (in practice its encrypted
// duplicate), parses it and puts what it holds into the readings store and onto the chart.
class ChartFileLoader {
  public:
    ChartFileLoader(State& state, ReadingsStore& readings, ChartModel& chart,
                    ChartPresenter& presenter, Dialogs& dialogs, Clock& clock,
                    FormatSettings& formats);
    void LoaddataClick();
    void LoadChartFile(const QByteArray& path);

    // Why the file of the last "Cannot open file." could not be read, as the system tells it
    // ("No such file or directory."); empty after any other outcome.
    const QByteArray& openFailure() const { return openFailure_; }

    // Returns every flag and slot to the idle state before a load puts its readings in.
    std::function<void()> clearBuffer;

  private:
    void apply(LoadedChart& chart, const QByteArray& path);
    void showSecureData(bool shown);

    State& state_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    ChartPresenter& presenter_;
    Dialogs& dialogs_;
    Clock& clock_;
    FormatSettings& formats_;
    QByteArray openFailure_;
};

} // namespace zantrel
