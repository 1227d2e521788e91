#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

// The foot line a printout ends with: when it was printed and whether the readings are
// backed by an encrypted duplicate. "Printed" starts in the same column in both forms.
QByteArray PrintStamp(bool secureData, const QByteArray& dateTime);

// File, "Print Chart": the chart on one landscape page with a stamp line in its foot.
class ChartPrinter {
  public:
    explicit ChartPrinter(Engine& engine);
    void Button1Click();

  private:
    Engine& engine_;
};

} // namespace zantrel
