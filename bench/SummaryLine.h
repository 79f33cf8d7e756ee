// One line for the summary table scripts/bench.sh prints after all benchmarks:
// what was compared, the measured ratio and its target ("<=", "<" or ">=").
#pragma once

#include <cstdio>

inline void summaryLine(const char* what, double ratio, const char* comparison, double target) {
    std::printf("RATIO|%s|%.3f|%s|%g\n", what, ratio, comparison, target);
}
