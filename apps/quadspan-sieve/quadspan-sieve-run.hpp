// quadspan-sieve-run.hpp - the run of quadspan-sieve: the generating four-sets
// listed by quadspan-scan that hold two comparable partitions.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "frontend/platform.hpp"

namespace equ {

// One generating four-set as listed: four table indices in line order.
using FourSet = std::array<std::uint16_t, 4>;

// Reads every line that begins with "The {" from the result file and closes
// it. An index text that is no integer is the platform's invalid-integer stop;
// an index outside 1..N, or an Equ(n) that is not the table's, is refused
// through fatalError naming the line of the result file.
std::vector<FourSet> readScanResult(TextReader& result);

// True when one of the two partitions refines the other.
bool comparableCodes(const std::uint8_t* p, const std::uint8_t* q);

// Runs the whole program; returns its exit status.
int runQuadspanSieve(int argc, const char* const* argv);

}  // namespace equ
