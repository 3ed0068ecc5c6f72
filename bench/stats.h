// Order statistics of a run of samples, in milliseconds.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

namespace qz7bench {

struct Summary {
    std::size_t count = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    double mean = 0;
};

// Nearest-rank percentile of sorted samples (p in 0..100).
inline double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Summary summarize(std::vector<double> samples) {
    Summary s;
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    s.count = samples.size();
    s.p50 = percentile(samples, 50);
    s.p99 = percentile(samples, 99);
    s.max = samples.back();
    s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    return s;
}

// Differences between consecutive time stamps given in nanoseconds, as milliseconds.
inline std::vector<double> intervalsMs(const std::vector<long long>& stampsNs) {
    std::vector<double> out;
    for (std::size_t i = 1; i < stampsNs.size(); ++i)
        out.push_back(static_cast<double>(stampsNs[i] - stampsNs[i - 1]) / 1e6);
    return out;
}

}  // namespace qz7bench
