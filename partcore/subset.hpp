// subset.hpp - sets of partitions by table index, and their closure under
// meet and join: the reference closures, exactly as the programs first used them.
#pragma once

#include <cstdint>
#include <vector>

namespace equ {

struct PartitionSubset {
  std::vector<std::uint8_t> flags;     // flags[i] for table index i in 1..bnnmax
  std::vector<std::int32_t> members;   // member list, positions 1..count; empty when unused
  std::int32_t count = 0;
};

// Allocates s at the table's capacity, with or without a member list.
void initSubset(PartitionSubset& s, bool withMemberList);
// count 0, flags 1..N off.
void clearSubset(PartitionSubset& s);
// Puts table index k in directly: flag, member list (when there is one), count.
// k must be in 1..N and not yet a member.
void addMember(PartitionSubset& s, std::int32_t k);
// Adds the table entry equal to p; "(Code-zNtQwPlc) internal error" when absent.
void addCode(const std::uint8_t* p, PartitionSubset& s);
// Closure in stages driven by the member list (kspan).
void closeByMemberList(PartitionSubset& s);
// Closure in passes over the flags (quadspan-scan, quadspan-rand).
void closeByFlagScan(PartitionSubset& s);
// Diagnostic listing on the console, then a wait.
void printSubset(const PartitionSubset& s);

}  // namespace equ
