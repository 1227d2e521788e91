#pragma once

// Measuring helpers the benchmarks share.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace zantrel::bench {

using Steady = std::chrono::steady_clock;

inline double Ms(Steady::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double MsSince(Steady::time_point start) {
    return Ms(Steady::now() - start);
}

// The processor time of this thread, in ms: on a busy machine closer to the cost than the wall.
inline double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Peak resident memory of the process so far, in MB.
inline double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace zantrel::bench
