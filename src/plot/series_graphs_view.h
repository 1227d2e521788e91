#pragma once

#include <QColor>
#include <QVector>
#include <cstdint>
#include <vector>

class QCPAxis;
class QCPGraph;
class QCPItemText;
class QCustomPlot;
class QCPGraphData;

namespace zantrel {

class ChartSeries;

// The axis key of a day count: seconds since 1970 read as if the day count were UTC, so
// the time axis never folds or jumps at a daylight-saving change.
inline double ChartKey(double dayCount) {
    return (dayCount - 25569.0) * 86400.0;
}

// The day count of an axis key.
inline double DayCountOfChartKey(double key) {
    return key / 86400.0 + 25569.0;
}

// Smallest and largest of the values seen.
struct Extent {
    double lo = 0;
    double hi = 0;
    bool found = false;
    void add(double v);
};

// One chart series on the plot. A graph has one pen, so the series is split in three:
// the main graph in the series colour, broken by NaN wherever a segment is not drawn in that
// colour; the bridge graph in silver, holding only the segments that lead to silver points
// (previous point, silver point, NaN); and the marks graph, grey points drawn as dots with
// their labels (the "No data" point). A null point draws nothing and no segment touches it.
class SeriesGraphs {
  public:
    SeriesGraphs(QCustomPlot* plot, QCPAxis* keyAxis, QCPAxis* valueAxis, const QColor& colour,
                 int width, bool labelMarks);

    // Appends the points added since the last call; starts over when the series was
    // cleared. Returns true when anything changed.
    bool sync(const ChartSeries& series);
    // Whether the last sync started over.
    bool rebuilt() const { return rebuilt_; }

    QCPGraph* mainGraph() const { return main_; }
    QCPGraph* bridgeGraph() const { return bridge_; }
    QCPGraph* marksGraph() const { return marks_; }
    // Keys of every point, null points included, and values of the drawn points.
    const Extent& keys() const { return keys_; }
    const Extent& values() const { return values_; }

  private:
    struct Batch {
        QVector<QCPGraphData> points;
        bool sorted = true;
        void add(double key, double value);
        void flushTo(QCPGraph* graph);
    };

    void clear();
    void appendPoint(const ChartSeries& series, int i);
    void addMarkLabel(double key, double value, const QByteArray& label);

    QCustomPlot* plot_;
    QCPGraph* main_;
    QCPGraph* bridge_;
    QCPGraph* marks_;
    bool labelMarks_;
    std::vector<QCPItemText*> markLabels_;

    uint64_t generation_ = UINT64_MAX;
    int done_ = 0;
    int lastMain_ = -1; // index of the last point appended to the main graph
    bool mainEmpty_ = true;
    bool rebuilt_ = false;
    Extent keys_, values_;
    Batch mainBatch_, bridgeBatch_, marksBatch_;
};

} // namespace zantrel
