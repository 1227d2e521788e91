#include "chart/storage_interval.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>

namespace zantrel {

double StorageInterval(const std::vector<double>& times) {
    // Steps come in long runs of one value: counted a run at a time, the map stays small.
    std::map<long long, std::size_t> counts;
    long long run = 0;
    std::size_t length = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const long long step = std::llround((times[i] - times[i - 1]) * 86400e3);
        if (length && step != run) {
            counts[run] += length;
            length = 0;
        }
        run = step;
        ++length;
    }
    if (length) counts[run] += length;
    long long best = 0;
    std::size_t most = 0;
    for (const auto& [step, n] : counts)
        if (step > 0 && n > most) {
            best = step;
            most = n;
        }
    return static_cast<double>(best) / 86400e3;
}

double Milliseconds(double days) {
    return std::round(std::max(0.0, days) * 86400e3);
}

double ReadingMilliseconds(const std::vector<double>& times, std::size_t i, double interval) {
    const std::size_t n = times.size();
    double days = 0;
    if (i + 1 < n)
        days = times[i + 1] - times[i];
    else if (n >= 2)
        days = times[n - 1] - times[n - 2];
    return Milliseconds(IsHole(days, interval) ? interval : days);
}

double ReadingEnd(const std::vector<double>& times, std::size_t i, double interval) {
    if (i + 1 < times.size() && !IsHole(times[i + 1] - times[i], interval)) return times[i + 1];
    return times[i] + ReadingMilliseconds(times, i, interval) / 86400e3;
}

} // namespace zantrel
