#pragma once

#include <QByteArray>
#include <string_view>

namespace zantrel {

class Engine;
class ChartRowParser;
struct ChartRow;

// "Load Chart" and the start-up load: reads a chart file (in practice its encrypted
// duplicate) back into the readings store and onto the chart.
class ChartFileLoader {
  public:
    explicit ChartFileLoader(Engine& engine);
    void LoaddataClick();
    void LoadChartFile(const QByteArray& path);
    // Finds the file's date format and makes it the session's (DATEFORMAT and the short date
    // format); true when one was found. The menu check and the axis follow in every case.
    bool DetectFileDateFormat(const QByteArray& path);

  private:
    // Reads every line into the store; false on a row that cannot be read.
    bool readLines(std::string_view content);
    void readHeaderLine(std::string_view line);
    void storeRow(const ChartRow& row);
    void showSecureData(bool shown);
    void finishLoad(const QByteArray& path);

    Engine& engine_;
};

} // namespace zantrel
