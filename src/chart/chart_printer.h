#pragma once

#include <QByteArray>

namespace zantrel {

class Engine;

// File, "Print Chart": the chart on one landscape page with a stamp line in its foot.
class ChartPrinter {
public:
    explicit ChartPrinter(Engine& engine);
    void Button1Click();

private:
    Engine& engine_;
};

} // namespace zantrel
