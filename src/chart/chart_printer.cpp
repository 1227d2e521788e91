#include "chart/chart_printer.h"

namespace zantrel {

ChartPrinter::ChartPrinter(Engine& engine) : engine_(engine) {}

void ChartPrinter::Button1Click() {}

} // namespace zantrel
