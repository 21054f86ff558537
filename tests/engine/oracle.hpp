// oracle.hpp - what the engine tests compare with: the reference closures, and a plain
// table-driven closure whose meets and joins are worked out independently on block labels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <unordered_map>
#include <vector>

#include "partcore/engine.hpp"
#include "partcore/subset.hpp"
#include "partcore/part-tables.hpp"
#include "partcore/table.hpp"

namespace equ::test {

inline std::int32_t referenceCount(const std::vector<std::int32_t>& set, bool memberList) {
  PartitionSubset s;
  initSubset(s, memberList);
  for (const std::int32_t k : set) addMember(s, k);
  if (memberList) {
    closeByMemberList(s);
  } else {
    closeByFlagScan(s);
  }
  return s.count;
}

// A partition as its block numbers by first appearance (element i in block
// label[i]), packed 4 bits per element: a key that is equal exactly when the
// partitions are.
inline std::uint64_t labelKey(const std::vector<int>& label) {
  std::map<int, int> renumber;
  std::uint64_t key = 0;
  int next = 0;
  for (std::size_t i = 0; i < label.size(); ++i) {
    const int r = renumber.emplace(label[i], next).first->second;
    next = std::max(next, r + 1);
    key |= static_cast<std::uint64_t>(r) << (4 * i);
  }
  return key;
}

inline std::vector<int> labelsOf(const std::uint8_t* code, int n) {
  std::vector<int> label(static_cast<std::size_t>(n), -1);
  int block = 0;
  for (int p = 0; code[p] != 0; ++p) {
    if (code[p] == 1) {
      ++block;
    } else {
      label[static_cast<std::size_t>(code[p] - 2)] = block;
    }
  }
  return label;
}

// The oracle: meet and join of every pair of table indices, worked out on
// block labels in the plainest way (a meet block is a pair of blocks; a
// join block a connected component), and a closure over them with no
// shortcut at all. Its meets and joins are checked against the reference
// ones below, and its closures against the reference closures.
class ReferenceLattice {
 public:
  ReferenceLattice() : N_(table().N), meet_(cells()), join_(cells()) {
    const int n = table().ne;
    std::unordered_map<std::uint64_t, std::int32_t> indexOf;
    std::vector<std::vector<int>> labels(static_cast<std::size_t>(N_) + 1);
    for (std::int32_t i = 1; i <= N_; ++i) {
      labels[static_cast<std::size_t>(i)] = labelsOf(table().code(i), n);
      indexOf[labelKey(labels[static_cast<std::size_t>(i)])] = i;
    }
    for (std::int32_t i = 1; i <= N_; ++i) {
      const int* a = labels[static_cast<std::size_t>(i)].data();
      for (std::int32_t j = i; j <= N_; ++j) {
        const int* b = labels[static_cast<std::size_t>(j)].data();
        std::vector<int> out(static_cast<std::size_t>(n));
        // Meet: elements share a block when they share one in a and in b.
        for (int e = 0; e < n; ++e) out[static_cast<std::size_t>(e)] = a[e] * n + b[e];
        meet_[at(i, j)] = meet_[at(j, i)] = indexOf.at(labelKey(out));
        // Join: label every element with the least element it is linked
        // to through blocks of a or of b, until nothing changes.
        for (int e = 0; e < n; ++e) out[static_cast<std::size_t>(e)] = e;
        for (bool merged = true; merged;) {
          merged = false;
          for (int e = 0; e < n; ++e)
            for (int f = e + 1; f < n; ++f) {
              int& le = out[static_cast<std::size_t>(e)];
              int& lf = out[static_cast<std::size_t>(f)];
              if ((a[e] == a[f] || b[e] == b[f]) && le != lf) {
                le = lf = std::min(le, lf);
                merged = true;
              }
            }
        }
        join_[at(i, j)] = join_[at(j, i)] = indexOf.at(labelKey(out));
      }
    }
  }

  std::int32_t meetOf(std::int32_t i, std::int32_t j) const { return meet_[at(i, j)]; }
  std::int32_t joinOf(std::int32_t i, std::int32_t j) const { return join_[at(i, j)]; }

  std::int32_t close(const std::vector<std::int32_t>& set) const {
    std::vector<std::uint8_t> in(static_cast<std::size_t>(N_) + 1, 0);
    std::vector<std::int32_t> members;
    auto add = [&](std::int32_t z) {
      if (in[static_cast<std::size_t>(z)] == 0) {
        in[static_cast<std::size_t>(z)] = 1;
        members.push_back(z);
      }
    };
    for (const std::int32_t z : set) add(z);
    // Nothing can be added once every partition is in.
    for (std::size_t p = 0; p < members.size() && members.size() < static_cast<std::size_t>(N_); ++p)
      for (std::size_t q = 0; q < p; ++q) {
        add(meet_[at(members[p], members[q])]);
        add(join_[at(members[p], members[q])]);
      }
    return static_cast<std::int32_t>(members.size());
  }

 private:
  std::size_t cells() const { return static_cast<std::size_t>(N_ + 1) * static_cast<std::size_t>(N_ + 1); }
  std::size_t at(std::int32_t i, std::int32_t j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(N_ + 1) + static_cast<std::size_t>(j);
  }
  std::int32_t N_;
  std::vector<std::int32_t> meet_;
  std::vector<std::int32_t> join_;
};

inline std::vector<std::int32_t> randomSet(std::mt19937_64& rng, std::int32_t N, int k) {
  std::vector<std::int32_t> s;
  while (static_cast<int>(s.size()) < k) {
    const auto r = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(N)) + 1;
    if (std::find(s.begin(), s.end(), r) == s.end()) s.push_back(r);
  }
  return s;
}

// Every scanPair row of the pair (i1, i2) against the oracle, and the same
// sets through closeSet.
inline void expectScanPairMatches(const ClosureEngine& engine, EngineWorkspace& ws, std::int32_t i1,
                           std::int32_t i2, const ReferenceLattice& oracle) {
  std::vector<std::int32_t> sizes{-7};  // scanPair appends
  engine.scanPair(i1, i2, sizes, ws);
  const std::int32_t N = table().N;
  std::size_t at = 1;
  for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3) {
    for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++at) {
      ASSERT_LT(at, sizes.size());
      const std::vector<std::int32_t> set{i1, i2, i3, i4};
      const std::int32_t expected = oracle.close(set);
      ASSERT_EQ(sizes[at], expected) << i1 << " " << i2 << " " << i3 << " " << i4;
      ASSERT_EQ(engine.closeSet(set.data(), 4, ws), expected) << i1 << " " << i2 << " " << i3 << " " << i4;
    }
  }
  EXPECT_EQ(at, sizes.size());
  EXPECT_EQ(sizes[0], -7);
}

// 100 000 seeded random 4-sets of Part(n) and whole scanPair rows of a few
// pairs spread over the table, against the oracle.
inline void expectRandomFourSetsMatch(int n) {
  loadPart(n, kSmallLimits);
  ClosureEngine engine;
  const ReferenceLattice oracle;
  auto ws = engine.makeWorkspace();
  const std::int32_t N = table().N;
  std::mt19937_64 rng(static_cast<std::uint64_t>(n) * 1000003U);
  int generating = 0;
  for (int t = 0; t < 100000; ++t) {
    const std::vector<std::int32_t> set = randomSet(rng, N, 4);
    const std::int32_t expected = oracle.close(set);
    generating += expected == N ? 1 : 0;
    ASSERT_EQ(engine.closeSet(set.data(), 4, *ws), expected) << set[0] << " " << set[1] << " " << set[2] << " " << set[3];
  }
  EXPECT_GT(generating, 100);
  // Rows early, middle and late in the table, about 20 000 sets each for Part(7).
  const std::int32_t late = N > 400 ? N - 200 : N / 3;
  const std::int32_t pairs[][2] = {{1, late}, {2, late}, {N / 4, late}, {late - 10, late}};
  for (const auto& p : pairs) {
    SCOPED_TRACE(testing::Message() << "i1=" << p[0] << " i2=" << p[1]);
    expectScanPairMatches(engine, *ws, p[0], p[1], oracle);
  }
}


}  // namespace equ::test
