#pragma once

#include <QByteArray>

namespace zantrel {

class AtomicFile;
class ChartPresenter;
class Clock;
class Dialogs;
class EncryptedDuplicate;
struct ChartModel;
struct FormatSettings;
struct ReadingsStore;
struct State;

// "Save Chart": writes the readings as a chart file (header block, column header, one row
// per reading) and then its encrypted duplicate.
class ChartFileWriter {
  public:
    ChartFileWriter(State& state, const ReadingsStore& readings, ChartModel& chart,
                    ChartPresenter& presenter, EncryptedDuplicate& duplicate, Dialogs& dialogs,
                    Clock& clock, FormatSettings& formats);
    // Asks for the file name, writes the chart file and its duplicate, and reports through
    // the status line and "Problem" boxes.
    void SaveChartFile();

  private:
    void writeRows(AtomicFile& file, const QByteArray& dateFormat);
    void problem(const QByteArray& text);

    State& state_;
    const ReadingsStore& readings_;
    ChartModel& chart_;
    ChartPresenter& presenter_;
    EncryptedDuplicate& duplicate_;
    Dialogs& dialogs_;
    Clock& clock_;
    FormatSettings& formats_;
};

} // namespace zantrel
