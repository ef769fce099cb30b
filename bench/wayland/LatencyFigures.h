#pragma once

// The figures every latency bench prints: median, p99 and maximum of a run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5))];
}

inline void print(const char* label, const std::vector<double>& values) {
    std::printf("%s  median %7.1f us   p99 %7.1f us   max %8.1f us   (%zu)\n", label, percentile(values, 0.5),
                percentile(values, 0.99), percentile(values, 1.0), values.size());
}

inline double micro(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

} // namespace velmora::bench
