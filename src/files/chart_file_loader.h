#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

// "Load Chart" and the start-up load: reads a chart file (in practice its encrypted
// duplicate) back into the readings store and onto the chart.
class ChartFileLoader {
public:
    explicit ChartFileLoader(Engine& engine);
    void LoaddataClick();
    void LoadChartFile(const QByteArray& path);
    bool DetectFileDateFormat(const QByteArray& path);

private:
    Engine& engine_;
};

} // namespace zantrel
