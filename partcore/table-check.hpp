// table-check.hpp - refuses a partition table the programs cannot trust: every
// code canonical over 1..n, strictly ascending, and N equal to the Bell number of n.
#pragma once

#include <cstdint>

namespace equ {

// Number of partitions of an n-element set, n in 0..25.
std::int64_t bellNumber(std::int32_t n);

// Ends the run through fatalError, naming the list-file line of the first
// offending partition (entry i stands on line 2i + 1), when the table fails.
void checkTable();

}  // namespace equ
