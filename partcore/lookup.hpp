// lookup.hpp - index of a code in the ascending table A0, by a binary search
// with an alternating midpoint; 0 for a code that is not in the table.
#pragma once

#include <cstdint>

namespace equ {

struct PartitionSubset;

// Index k in 1..N with A0[k] equal to p on positions 1..L, else 0. Never
// probes outside 1..N.
std::int32_t placeInSet(const std::uint8_t* p);
// placeInSet that also reports how many table entries it compared p with.
std::int32_t placeInSetCounted(const std::uint8_t* p, std::int32_t& probes);
// The membership flag of s for placeInSet(p); false for a code not in the table.
bool flagOfCode(const std::uint8_t* p, const PartitionSubset& s);
// Diagnostic self-test: every entry is found at its own index.
void testPlaceInSet();

}  // namespace equ
