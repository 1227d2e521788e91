#pragma once

#include <QObject>

namespace zantrel {

class Engine;

// Puts the statistics' band on the window's chart: the stored limits and the excursions the
// readings make outside them over the whole chart, with no delay, so the chart shades what
// the statistics count. Follows the settings and every change of the readings (an upload, a
// load, a clear) and recomputes at most once per event-loop turn.
class LimitBandFeed : public QObject {
    Q_OBJECT
  public:
    LimitBandFeed(Engine& engine, QObject* parent = nullptr);

    // Fills the chart's band now (normally done once per event-loop turn).
    void refreshNow();

  private:
    void schedule();

    Engine& engine_;
    bool pending_ = false;
};

} // namespace zantrel
