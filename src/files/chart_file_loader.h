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
};

} // namespace zantrel
