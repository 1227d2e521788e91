#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

namespace zantrel {

class ChartPresenter;
class Clock;
class Dialogs;
struct ChartModel;
struct ChartParse;
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
    // Asks for one or several chart files and loads them as one chart (loadChartFiles).
    void LoaddataClick();
    // Asks for any one file of a month's automatic downloads and loads the whole month: its
    // duplicate and every numbered piece (MonthPieces). A name that is not a monthly file's,
    // or a month none of whose duplicates is there, is said in the status line and changes
    // nothing else.
    void LoadMonthClick();
    void LoadChartFile(const QByteArray& path);
    // Several chart files as one chart (one path loads as LoadChartFile does): every file is
    // read and parsed first, then merged by time whatever order they come in (see
    // MergeCharts). A file that cannot be read or parsed refuses the whole load with its own
    // status text after its file name ("T1202612site.csv: Error in file. Data is corrupt."),
    // and so does a merge that refuses; the chart and the store are then left as they were.
    // On success the caption names the first file and " + N more", " Secure Data " shows
    // only when every file was a duplicate, and the status is "File loaded.".
    void loadChartFiles(const QList<QByteArray>& paths);

    // The files of the chart shown, in the order they were merged; empty when no file is.
    const QList<QByteArray>& loadedFiles() const { return loadedFiles_; }

    // Why the file of the last "Cannot open file." could not be read, as the system tells it
    // ("No such file or directory."); empty after any other outcome.
    const QByteArray& openFailure() const { return openFailure_; }

    // Returns every flag and slot to the idle state before a load puts its readings in.
    std::function<void()> clearBuffer;

  private:
    void apply(LoadedChart& chart, const QByteArray& caption, bool merged);
    // Takes on the date formats of the chart coming in (none for a corrupt file) and clears
    // the marker, the flags and the store for it.
    void clearForLoad(const LoadedChart& incoming);
    void refuse(const QByteArray& status);
    // The year two-digit years of a file are placed around.
    int currentYear() const;
    ChartParse parseBytes(const QByteArray& bytes) const;
    void showSecureData(bool shown);

    State& state_;
    ReadingsStore& readings_;
    ChartModel& chart_;
    ChartPresenter& presenter_;
    Dialogs& dialogs_;
    Clock& clock_;
    FormatSettings& formats_;
    QByteArray openFailure_;
    QList<QByteArray> loadedFiles_;
};

} // namespace zantrel
