#pragma once

#include "chart/chart_statistics.h"

#include <QDialog>

class QTableWidget;

namespace zantrel {

class Engine;
class StatisticsLimitsView;

// "Chart Statistics": the figures of the readings for the whole chart and for the time
// range the chart shows now, side by side, in the chart's unit. It follows new readings,
// zoom and pan, the unit and the date format while it is open, and recomputes at most once
// per event-loop turn. "Copy" puts the table on the clipboard as tab-separated text.
class StatisticsWindow : public QDialog {
    Q_OBJECT
  public:
    StatisticsWindow(Engine& engine, QWidget* parent = nullptr);

    // The table as text: a header line, then one line per figure, cells separated by tabs.
    QString text() const;
    // Brings the figures up to date now (normally done once per event-loop turn).
    void refreshNow();

    QTableWidget* table() const { return table_; }
    StatisticsLimitsView* limits() const { return limits_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void placeBesideParent();
    void follow();
    void schedule(bool whole);
    TimeRange shownRange() const;
    void fillTable();

    Engine& engine_;
    StatisticsLimitsView* limits_ = nullptr;
    QTableWidget* table_ = nullptr;
    ChartStatistics whole_;
    ChartStatistics shown_;
    bool wholeStale_ = true;
    bool shownStale_ = true;
    bool pending_ = false;
    bool placed_ = false;
};

} // namespace zantrel
