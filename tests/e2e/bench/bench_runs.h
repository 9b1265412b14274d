#pragma once
// What every benchmark program shares: how many runs the command line asks
// for, and the median of the times measured.
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace bench {

// The first argument as a number of runs (at least 1), or `fallback`.
inline int RunsArgument(int argc, char** argv, int fallback) {
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

// The middle value of at least one time.
inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace bench
