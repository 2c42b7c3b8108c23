// Order statistics of a benchmark's samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace kx::bench {

// The sample at `fraction` of the sorted samples (nearest rank; 0.5 gives the median).
inline double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

inline double Median(const std::vector<double>& samples) { return Percentile(samples, 0.5); }

}  // namespace kx::bench
