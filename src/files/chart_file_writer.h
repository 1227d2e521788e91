#pragma once

#include <QByteArray>

namespace zantrel {

class AtomicFile;
class Engine;

// "Save Chart": writes the readings as a chart file (header block, column header, one row
// per reading) and then its encrypted duplicate.
class ChartFileWriter {
  public:
    explicit ChartFileWriter(Engine& engine);
    // Asks for the file name, writes the chart file and its duplicate, and reports through
    // the status line and "Problem" boxes.
    void SaveChartFile();

  private:
    void writeRows(AtomicFile& file, const QByteArray& dateFormat);
    void problem(const QByteArray& text);

    Engine& engine_;
};

} // namespace zantrel
