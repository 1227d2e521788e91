// Time of the chart statistics over a million readings (temperature and humidity every
// 15 seconds, a gap every 500 readings), for the whole chart and for a range of a tenth of it.
#include "bench_measure.h"
#include "chart/chart_statistics.h"
#include "chart/readings_store.h"
#include "core/calendar.h"

#include <cmath>
#include <cstdio>
#include <vector>

using namespace zantrel;
using namespace zantrel::bench;

namespace {

constexpr int kReadings = 1'000'000;
constexpr int kRuns = 15;

// A daily swing of a cold room with sensor noise, rounded to the logger's 0.1 degree.
void Fill(ReadingsStore& store) {
    const double start = *EncodeDateTime(2010, 3, 1, 0, 0, 0);
    unsigned noise = 12345;
    for (int i = 0; i < kReadings; ++i) {
        noise = noise * 1103515245u + 12345u;
        const double swing = 3.0 * std::sin(i * 2 * M_PI / 5760.0) + ((noise >> 16) % 7) * 0.1;
        const bool gap = i % 500 == 499;
        store.ReadingTimes.push_back(start + i * 15 * kOneSecond);
        store.Temperatures.push_back(gap ? NoReading : std::round((5.0 + swing) * 10) / 10);
        store.Humidities.push_back(gap ? NoReading : static_cast<float>(40 + (i % 90) * 0.35));
    }
}

double MedianMs(const ReadingsStore& store, const TimeRange& range,
                const StatisticsOptions& options, ChartStatistics& out) {
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        const double begin = ThreadCpuMs();
        out = ComputeChartStatistics(store, range, options);
        ms.push_back(ThreadCpuMs() - begin);
    }
    return Median(ms);
}

} // namespace

int main() {
    ReadingsStore store;
    Fill(store);
    StatisticsOptions options;
    options.low = 2.0;
    options.high = 8.0;

    ChartStatistics whole;
    const double wholeMs = MedianMs(store, {}, options, whole);
    const TimeRange tenth{store.ReadingTimes[400'000], store.ReadingTimes[499'999]};
    ChartStatistics part;
    const double partMs = MedianMs(store, tenth, options, part);

    std::printf("chart statistics, %d readings (median of %d, processor time)\n", kReadings, kRuns);
    std::printf("  whole chart:     %7.2f ms  (%zu readings, %zu gaps, MKT %.3f C, %.1f h above)\n",
                wholeMs, whole.readings, whole.gaps, whole.mkt.value_or(NAN), whole.above.hours);
    std::printf("  a tenth of it:   %7.2f ms  (%zu readings)\n", partMs, part.readings);
    return 0;
}
