// quadspan-scan-run.hpp - the run of quadspan-scan: every four-set of the
// table from the start index on, its generating sets listed in scan order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace equ {

// The four statistics lines for g generating sets among t, with closure sizes
// summing to S. With t = 0 (a table of fewer than four partitions) the share
// and the averages are reported as 0 rather than divided by zero.
std::vector<std::string> scanReport(std::int32_t n, std::int32_t N, std::int64_t g, std::int64_t t,
                                    std::int64_t S);

// Runs the whole program; returns its exit status.
int runQuadspanScan(int argc, const char* const* argv);

}  // namespace equ
