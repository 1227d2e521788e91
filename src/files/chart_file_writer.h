#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

// "Save Chart": writes the readings as a chart file (header block, column header, one row
// per reading) and then its encrypted duplicate.
class ChartFileWriter {
public:
    explicit ChartFileWriter(Engine& engine);
    void SaveChartFile();

private:
    Engine& engine_;
};

} // namespace zantrel
