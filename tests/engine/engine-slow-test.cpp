// engine-slow-test.cpp - the engine against the oracle on the larger tables: random
// 4-sets and scanPair rows of Part(7), random k-sets (k = 2..8) of Part(8).
#include <gtest/gtest.h>

#include "oracle.hpp"

namespace equ::test {
namespace {

TEST(ClosureEngineSlow, RandomFourSetsOfPart7) { expectRandomFourSetsMatch(7); }

// Part(8): above the size for scanPair's use but within the tables; seeded
// random k-sets for every k the samplers allow.
TEST(ClosureEngineSlow, RandomKSetsOfPart8) {
  loadPart(8);
  ClosureEngine engine(true, 3);  // tables built on three threads, tiles interleaved
  const ReferenceLattice oracle;
  auto ws = engine.makeWorkspace();
  std::mt19937_64 rng(8);
  for (int k = 2; k <= 8; ++k) {
    SCOPED_TRACE(k);
    int generating = 0;
    for (int t = 0; t < 100; ++t) {
      const std::vector<std::int32_t> set = randomSet(rng, table().N, k);
      const std::int32_t expected = oracle.close(set);
      generating += expected == table().N ? 1 : 0;
      ASSERT_EQ(engine.closeSet(set.data(), k, *ws), expected);
    }
    if (k >= 6) {  // generating sets are rare below that
      EXPECT_GT(generating, 0);
    }
  }
  // Every entry of the tables against the meets and joins computed on block
  // masks (which the fast tests tie to the reference).
  const ClosureEngine computed(false);
  const std::int32_t N = table().N;
  for (std::int32_t i = 1; i <= N; ++i)
    for (std::int32_t j = 1; j <= N; ++j) {
      ASSERT_EQ(engine.meetIndex(i, j), computed.meetIndex(i, j)) << i << " " << j;
      ASSERT_EQ(engine.joinIndex(i, j), computed.joinIndex(i, j)) << i << " " << j;
    }
}

}  // namespace
}  // namespace equ::test
