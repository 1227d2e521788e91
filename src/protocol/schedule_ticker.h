#pragma once

namespace zantrel {

// What the reader runs on the main thread when the next automatic download falls due and the
// logger is there: the download schedule, which sits above the reader.
class ScheduleTicker {
  public:
    virtual ~ScheduleTicker() = default;
    virtual void tick() = 0;
};

} // namespace zantrel
