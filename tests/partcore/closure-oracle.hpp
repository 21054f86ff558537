// closure-oracle.hpp - test helpers for the reference closures: a closure by
// either routine, a naive fixed point that shares no loop with them, samples.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "part-tables.hpp"
#include "partcore/lookup.hpp"
#include "partcore/meet-join.hpp"
#include "partcore/subset.hpp"
#include "partcore/table.hpp"

namespace equ::test {

enum class Closure { MemberList, FlagScan };

inline std::int32_t closedCount(const std::vector<std::int32_t>& members, Closure how) {
  PartitionSubset s;
  initSubset(s, how == Closure::MemberList);
  for (std::int32_t k : members) addMember(s, k);
  if (how == Closure::MemberList) {
    closeByMemberList(s);
  } else {
    closeByFlagScan(s);
  }
  return s.count;
}

// The closure as a plain fixed point over a std::set, through the matrix
// route: shares no loop with the closures under test.
inline std::int32_t naiveClosure(const std::vector<std::int32_t>& members) {
  std::set<std::int32_t> c(members.begin(), members.end());
  PartitionCode r;
  for (bool grew = true; grew;) {
    grew = false;
    const std::vector<std::int32_t> now(c.begin(), c.end());
    for (std::int32_t a : now) {
      for (std::int32_t b : now) {
        if (b < a) continue;  // both operations are symmetric
        matrixMeet(table().code(a), table().code(b), r.data());
        grew |= c.insert(placeInSet(r.data())).second;
        matrixJoin(table().code(a), table().code(b), r.data());
        grew |= c.insert(placeInSet(r.data())).second;
      }
    }
  }
  return static_cast<std::int32_t>(c.size());
}

// Seeded random four-sets of distinct indices.
inline void expectAgreementOnSample(int n, int sets, bool withNaive) {
  loadPart(n);
  const std::int32_t N = table().N;
  std::uint64_t state = 0x5eed0000u + static_cast<std::uint64_t>(n);
  auto draw = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::int32_t>((state >> 33) % static_cast<std::uint64_t>(N)) + 1;
  };
  for (int t = 0; t < sets; ++t) {
    std::vector<std::int32_t> set;
    while (set.size() < 4) {
      const std::int32_t k = draw();
      if (std::find(set.begin(), set.end(), k) == set.end()) set.push_back(k);
    }
    const std::int32_t byList = closedCount(set, Closure::MemberList);
    ASSERT_EQ(closedCount(set, Closure::FlagScan), byList) << t;
    if (withNaive) {
      ASSERT_EQ(naiveClosure(set), byList) << t;
    }
  }
}

}  // namespace equ::test
