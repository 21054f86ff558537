// subset.cpp - partition subsets by table index and the two reference closures
// under meet and join; a meet or join missing from the table ends the run.
#include "partcore/subset.hpp"

#include <algorithm>
#include <string>

#include "partcore/fatal.hpp"
#include "partcore/lookup.hpp"
#include "partcore/meet-join.hpp"
#include "partcore/numbers.hpp"
#include "partcore/table.hpp"

namespace equ {
namespace {

constexpr const char* kNotInTable = "(Code-zNtQwPlc) internal error";

// Index of a computed meet or join. Only an incomplete, unsorted or
// non-canonical table can miss one, and index 0 must never be used.
std::int32_t indexOf(const PartitionCode& c) {
  const std::int32_t k = placeInSet(c.data());
  if (k == 0) fatalError(kNotInTable);
  return k;
}

// Makes k a member if it is not one yet; true when it was added.
bool addIfNew(PartitionSubset& s, std::int32_t k) {
  auto& flag = s.flags[static_cast<std::size_t>(k)];
  if (flag != 0) return false;
  flag = 1;
  s.count = add32(s.count, 1);
  if (!s.members.empty()) s.members[static_cast<std::size_t>(s.count)] = k;
  return true;
}

}  // namespace

void initSubset(PartitionSubset& s, bool withMemberList) {
  const auto capacity = static_cast<std::size_t>(table().limits.bnnmax) + 1;  // index 0 unused
  s.flags.assign(capacity, 0);
  if (withMemberList) {
    s.members.assign(capacity, 0);
  } else {
    s.members.clear();
  }
  s.count = 0;
}

void clearSubset(PartitionSubset& s) {
  s.count = 0;
  const auto end = std::min(s.flags.size(), static_cast<std::size_t>(table().N) + 1);
  if (end > 1) std::fill(s.flags.begin() + 1, s.flags.begin() + static_cast<std::ptrdiff_t>(end), 0);
}

void addMember(PartitionSubset& s, std::int32_t k) {
  s.flags[static_cast<std::size_t>(k)] = 1;
  s.count = add32(s.count, 1);
  if (!s.members.empty()) s.members[static_cast<std::size_t>(s.count)] = k;
}

void addCode(const std::uint8_t* p, PartitionSubset& s) {
  const std::int32_t k = placeInSet(p);
  if (k == 0) fatalError(kNotInTable);
  addMember(s, k);
}

void closeByMemberList(PartitionSubset& s) {
  // Without a member list there is nothing to drive the stages; the flag scan
  // reaches the same closure.
  if (s.members.empty()) return closeByFlagScan(s);
  const PartitionTable& t = table();
  PartitionCode r;
  std::int32_t old = 0;
  for (;;) {
    const std::int32_t cur = s.count;
    for (std::int32_t i = 1; i <= cur; ++i) {
      const std::uint8_t* a = t.code(s.members[static_cast<std::size_t>(i)]);
      for (std::int32_t j = old + 1; j <= cur; ++j) {
        const std::uint8_t* b = t.code(s.members[static_cast<std::size_t>(j)]);
        meet(a, b, r.data());
        addIfNew(s, indexOf(r));
        join(a, b, r.data());
        addIfNew(s, indexOf(r));
      }
    }
    old = cur;
    if (s.count == cur) return;
  }
}

void closeByFlagScan(PartitionSubset& s) {
  const PartitionTable& t = table();
  PartitionCode r;
  for (;;) {
    const std::int32_t prev = s.count;
    for (std::int32_t i = 1; i <= t.N; ++i) {
      if (s.flags[static_cast<std::size_t>(i)] == 0) continue;
      for (std::int32_t j = i + 1; j <= t.N; ++j) {
        // Flags are read as they stand now: a member found in this pass joins
        // the pass once the scan reaches it.
        if (s.flags[static_cast<std::size_t>(j)] == 0) continue;
        meet(t.code(i), t.code(j), r.data());
        addIfNew(s, indexOf(r));
        join(t.code(i), t.code(j), r.data());
        addIfNew(s, indexOf(r));
      }
    }
    if (s.count == prev) return;
  }
}

void printSubset(const PartitionSubset& s) {
  const PartitionTable& t = table();
  Console& con = console();
  con.line("The subset is " + std::to_string(s.count) + "-element and consists of");
  for (std::int32_t i = 1; i <= t.N; ++i) {
    if (s.flags[static_cast<std::size_t>(i)] != 0) printCode(t.code(i), con);
  }
  waitForEnter();
}

}  // namespace equ
