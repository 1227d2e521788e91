#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

inline constexpr const char* kScheduleFile = "AUTODL.DAT";

// The window's Auto Download schedule kept across a restart in AUTODL.DAT, a settings file
// beside the others, one line per setting ending in CR LF:
//   ~Interval: 4 hours      (or "Off")
//   ~Channels: 1,2
//   ~File: /data/site.csv
// It is written when a schedule gets its file and when it is switched off; a schedule that
// was on is resumed at start-up, its first download due at once. The command-line tool
// keeps its own schedule and never reads it.
class ScheduleMemory {
  public:
    explicit ScheduleMemory(Engine& engine);

    // At start-up, once the settings folder is known.
    void resume();

  private:
    void save(bool on);
    QByteArray path() const;

    Engine& engine_;
    bool resuming_ = false;
};

} // namespace zantrel
