// engine-test.cpp - the fast closure engine gives exactly the reference closure sizes:
// closeSet and scanPair against closeByFlagScan, closeByMemberList and a table-driven fixed point.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "partcore/engine.hpp"
#include "partcore/lookup.hpp"
#include "partcore/meet-join.hpp"
#include "partcore/part-tables.hpp"
#include "partcore/subset.hpp"
#include "oracle.hpp"
#include "partcore/table.hpp"
#include "support/fake-console.hpp"

namespace equ::test {
namespace {

TEST(ClosureEngine, WorkedExamples) {
  loadPart(3);
  ClosureEngine engine;
  auto ws = engine.makeWorkspace();
  // {1},{2,3} and {1,2},{3} close to their meet and join as well; the three
  // partitions with one two-element block generate Equ(3).
  const std::int32_t two[] = {3, 2};
  EXPECT_EQ(engine.closeSet(two, 2, *ws), 4);
  const std::int32_t atoms[] = {2, 3, 5};
  EXPECT_EQ(engine.closeSet(atoms, 3, *ws), 5);
  const std::int32_t single[] = {4};
  EXPECT_EQ(engine.closeSet(single, 1, *ws), 1);
  const std::int32_t comparable[] = {1, 4};
  EXPECT_EQ(engine.closeSet(comparable, 2, *ws), 2);
}

// All subsets of Part(n) for n <= 3 and all 4-sets of Part(4), against both
// reference closures. n = 2 matters: its only atom is also the top, so the
// atoms alone do not give the bottom there.
TEST(ClosureEngine, EverySmallSetMatchesReferenceClosures) {
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    loadPart(n);
    ClosureEngine engine;
    auto ws = engine.makeWorkspace();
    const std::int32_t N = table().N;
    for (std::uint32_t mask = 1; mask < (1U << N); ++mask) {
      std::vector<std::int32_t> set;
      for (std::int32_t i = 1; i <= N; ++i)
        if ((mask >> (i - 1)) & 1U) set.push_back(i);
      const std::int32_t expected = referenceCount(set, true);
      ASSERT_EQ(referenceCount(set, false), expected);
      ASSERT_EQ(engine.closeSet(set.data(), static_cast<int>(set.size()), *ws), expected) << mask;
    }
  }
  loadPart(4, kSmallLimits);
  ClosureEngine engine;
  auto ws = engine.makeWorkspace();
  const std::int32_t N = table().N;
  for (std::int32_t i1 = 1; i1 <= N; ++i1)
    for (std::int32_t i2 = i1 + 1; i2 <= N; ++i2) {
      std::vector<std::int32_t> sizes;
      engine.scanPair(i1, i2, sizes, *ws);
      std::size_t at = 0;
      for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3)
        for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++at) {
          const std::vector<std::int32_t> set{i1, i2, i3, i4};
          const std::int32_t expected = referenceCount(set, false);
          ASSERT_EQ(referenceCount(set, true), expected);
          ASSERT_EQ(engine.closeSet(set.data(), 4, *ws), expected);
          ASSERT_EQ(sizes.at(at), expected);
        }
      EXPECT_EQ(at, sizes.size());
    }
}

// Every 4-set of Part(5) (270725 sets) through scanPair and closeSet.
TEST(ClosureEngine, EveryFourSetOfPart5) {
  loadPart(5, kSmallLimits);
  ClosureEngine engine;
  ASSERT_TRUE(engine.usesTables());
  const ReferenceLattice oracle;
  auto ws = engine.makeWorkspace();
  for (std::int32_t i1 = 1; i1 <= 52; ++i1)
    for (std::int32_t i2 = i1 + 1; i2 <= 52; ++i2) {
      SCOPED_TRACE(testing::Message() << "i1=" << i1 << " i2=" << i2);
      expectScanPairMatches(engine, *ws, i1, i2, oracle);
      if (HasFatalFailure()) return;
    }
}

// The oracle itself is tied to the reference: its meets and joins on every
// pair of Part(6), its closures on a seeded sample that holds generating sets.
TEST(ClosureEngine, OracleAgreesWithReference) {
  loadPart(6, kSmallLimits);
  const ReferenceLattice oracle;
  PartitionCode r;
  for (std::int32_t i = 1; i <= table().N; ++i)
    for (std::int32_t j = 1; j <= table().N; ++j) {
      meet(table().code(i), table().code(j), r.data());
      ASSERT_EQ(oracle.meetOf(i, j), placeInSet(r.data()));
      join(table().code(i), table().code(j), r.data());
      ASSERT_EQ(oracle.joinOf(i, j), placeInSet(r.data()));
    }
  std::mt19937_64 rng(6);
  int generating = 0;
  for (int t = 0; t < 300; ++t) {
    const std::vector<std::int32_t> set = randomSet(rng, table().N, 4);
    const std::int32_t expected = oracle.close(set);
    generating += expected == table().N ? 1 : 0;
    ASSERT_EQ(referenceCount(set, true), expected);
  }
  EXPECT_GT(generating, 0);
}

// The meets and joins behind the closures against the reference meet, join
// and placeInSet: every pair of Part(5), and random pairs of Part(9) and
// Part(10), which have no tables and compute them on block masks.
TEST(ClosureEngine, MeetsAndJoinsMatchReference) {
  struct Case { int n; int pairs; bool tables; };
  for (const Case c : {Case{5, 0, true}, Case{9, 20000, false}, Case{10, 20000, false}}) {
    SCOPED_TRACE(c.n);
    loadPart(c.n);
    const ClosureEngine engine;
    ASSERT_EQ(engine.usesTables(), c.tables);
    const std::int32_t N = table().N;
    PartitionCode r;
    auto check = [&](std::int32_t i, std::int32_t j) {
      meet(table().code(i), table().code(j), r.data());
      ASSERT_EQ(engine.meetIndex(i, j), placeInSet(r.data())) << i << " " << j;
      join(table().code(i), table().code(j), r.data());
      ASSERT_EQ(engine.joinIndex(i, j), placeInSet(r.data())) << i << " " << j;
    };
    if (c.pairs == 0) {
      for (std::int32_t i = 1; i <= N; ++i)
        for (std::int32_t j = 1; j <= N; ++j) check(i, j);
    } else {
      // Every partition through the id lookups: x meet x and x join x are x.
      for (std::int32_t i = 1; i <= N; ++i) {
        ASSERT_EQ(engine.meetIndex(i, i), i);
        ASSERT_EQ(engine.joinIndex(i, i), i);
      }
      std::mt19937_64 rng(static_cast<std::uint64_t>(c.n));
      for (int t = 0; t < c.pairs; ++t) {
        const std::vector<std::int32_t> p = randomSet(rng, N, 2);
        check(p[0], p[1]);
      }
    }
  }
}

// Closures of Part(9) without tables, against the reference member-list
// closure on seeded sets small enough for it.
TEST(ClosureEngine, ComputedClosuresOfPart9) {
  loadPart(9);
  const ClosureEngine engine;
  auto ws = engine.makeWorkspace();
  std::mt19937_64 rng(99);
  int checked = 0;
  for (int t = 0; t < 400 && checked < 40; ++t) {
    const std::vector<std::int32_t> set = randomSet(rng, table().N, 3);
    const std::int32_t c = engine.closeSet(set.data(), 3, *ws);
    if (c > 200) continue;  // the reference needs too long for those
    ASSERT_EQ(c, referenceCount(set, true));
    ++checked;
  }
  EXPECT_EQ(checked, 40);
}

// 100 000 seeded random 4-sets of Part(6), and whole scanPair rows of pairs
// early, middle and late in the table; Part(7) is in the slow tests.
TEST(ClosureEngine, RandomFourSetsOfPart6) { expectRandomFourSetsMatch(6); }

// Without tables, as kspan builds the engine for short runs on Part(8): the
// same closures and scan rows, with meets and joins on block masks.
TEST(ClosureEngine, WithoutTablesMatchesOracle) {
  loadPart(6, kSmallLimits);
  const ClosureEngine engine(false);
  ASSERT_FALSE(engine.usesTables());
  const ReferenceLattice oracle;
  auto ws = engine.makeWorkspace();
  std::mt19937_64 rng(66);
  for (int t = 0; t < 3000; ++t) {
    const std::vector<std::int32_t> set = randomSet(rng, table().N, 2 + t % 7);
    ASSERT_EQ(engine.closeSet(set.data(), static_cast<int>(set.size()), *ws), oracle.close(set));
  }
  for (const auto& p : {std::array<std::int32_t, 2>{1, 120}, std::array<std::int32_t, 2>{60, 150}}) {
    SCOPED_TRACE(testing::Message() << "i1=" << p[0] << " i2=" << p[1]);
    expectScanPairMatches(engine, *ws, p[0], p[1], oracle);
  }
}

// Above the table limit scanPair keeps no records; its rows of Part(9)
// against closeSet, and the small closures against the reference.
TEST(ClosureEngine, ScanPairWithoutRecords) {
  loadPart(9);
  const ClosureEngine engine;
  auto ws = engine.makeWorkspace();
  const std::int32_t N = table().N;
  int small = 0;
  for (const auto& p : {std::array<std::int32_t, 2>{1, N - 25}, std::array<std::int32_t, 2>{N - 40, N - 30}}) {
    std::vector<std::int32_t> sizes;
    engine.scanPair(p[0], p[1], sizes, *ws);
    std::size_t at = 0;
    for (std::int32_t i3 = p[1] + 1; i3 <= N; ++i3)
      for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++at) {
        const std::vector<std::int32_t> set{p[0], p[1], i3, i4};
        ASSERT_EQ(sizes.at(at), engine.closeSet(set.data(), 4, *ws));
        if (sizes[at] <= 40 && small++ < 100) {
          ASSERT_EQ(sizes[at], referenceCount(set, true));
        }
      }
    EXPECT_EQ(at, sizes.size());
  }
  EXPECT_GT(small, 20);
}

TEST(ClosureEngine, RefusesATableThatIsNotAllOfPartN) {
  loadPart(4);
  table().N -= 1;  // the last partition missing
  ConsoleScope scope;
  EXPECT_THROW(ClosureEngine{}, FatalReport);
  loadPart(4);
  table().code(5)[2] = table().code(5)[0];  // an element twice
  EXPECT_THROW(ClosureEngine{}, FatalReport);
}

}  // namespace
}  // namespace equ::test
