// sampling.hpp - the sampling runs of kspan and quadspan-rand: random sets of
// distinct partitions, closed under meet and join, counted, listed and reported.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/params.hpp"

namespace equ {

// Run totals: tests made, generating tests, sum of the closure sizes.
struct SampleTotals {
  std::int64_t t = 0;
  std::int64_t g = 0;
  std::int64_t S = 0;
};

// The four report lines of the program for these totals, n and N.
std::vector<std::string> samplerReport(Program program, std::int32_t k, const SampleTotals& totals,
                                       std::int32_t n, std::int32_t N);

// The whole run of kspan or quadspan-rand; returns the exit status.
int runSampler(Program program, int argc, const char* const* argv);

}  // namespace equ
