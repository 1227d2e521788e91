#include "files/chart_file_loader.h"

namespace zantrel {

ChartFileLoader::ChartFileLoader(Engine& engine) : engine_(engine) {}

void ChartFileLoader::LoaddataClick() {}

void ChartFileLoader::LoadChartFile(const QByteArray&) {}

bool ChartFileLoader::DetectFileDateFormat(const QByteArray&) { return false; }

} // namespace zantrel
