#include "files/chart_file_writer.h"

namespace zantrel {

ChartFileWriter::ChartFileWriter(Engine& engine) : engine_(engine) {}

void ChartFileWriter::SaveChartFile() {}

} // namespace zantrel
