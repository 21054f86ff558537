// orbit-scan-test.cpp - sizes found through the renamings of the base set
// against the reference closures.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/oracle.hpp"
#include "partcore/engine.hpp"
#include "partcore/orbit-scan.hpp"

namespace equ {
namespace {

// Compares every size of scanPair(i1, i2) whose set passes `pick` with the
// flag-scan reference closure; returns how many were compared.
template <class Pick>
long comparePair(const OrbitScanner& orbits, EngineWorkspace& ws, std::int32_t i1, std::int32_t i2, Pick pick) {
  std::vector<std::int32_t> sizes;
  orbits.scanPair(i1, i2, sizes, ws);
  const std::int32_t N = table().N;
  std::size_t k = 0;
  long compared = 0;
  for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3) {
    for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++k) {
      if (!pick()) continue;
      EXPECT_EQ(sizes.at(k), test::referenceCount({i1, i2, i3, i4}, false))
          << "{" << i1 << ", " << i2 << ", " << i3 << ", " << i4 << "}";
      ++compared;
    }
  }
  EXPECT_EQ(k, sizes.size());
  return compared;
}

TEST(OrbitScanner, EveryFourSetUpToPart4) {
  for (int n : {1, 2, 3, 4}) {
    SCOPED_TRACE(n);
    test::loadPart(n, kSmallLimits);
    ClosureEngine engine;
    OrbitScanner orbits(engine);
    auto ws = engine.makeWorkspace();
    const std::int32_t N = table().N;
    long compared = 0;
    for (std::int32_t i1 = 1; i1 <= N; ++i1) {
      for (std::int32_t i2 = i1 + 1; i2 <= N; ++i2) compared += comparePair(orbits, *ws, i1, i2, [] { return true; });
    }
    const long all = N < 4 ? 0 : static_cast<long>(N) * (N - 1) * (N - 2) * (N - 3) / 24;
    EXPECT_EQ(compared, all);
  }
}

// Random pairs (i1, i2) and a sample of their four-sets, so that many
// canonical triples of every kind are met.
void sampleLargeTable(int n, int pairs, unsigned oneIn) {
  test::loadPart(n, kSmallLimits);
  ClosureEngine engine;
  OrbitScanner orbits(engine);
  auto ws = engine.makeWorkspace();
  const auto N = static_cast<std::uint32_t>(table().N);
  std::mt19937 rng(20261211u + static_cast<unsigned>(n));
  long compared = 0;
  for (int p = 0; p < pairs; ++p) {
    auto a = static_cast<std::int32_t>(1 + rng() % (N - 3));
    auto b = static_cast<std::int32_t>(1 + rng() % (N - 3));
    if (a == b) continue;
    if (a > b) std::swap(a, b);
    compared += comparePair(orbits, *ws, a, b, [&] { return rng() % oneIn == 0; });
  }
  EXPECT_GT(compared, 1000);
}

TEST(OrbitScanner, SampledFourSetsOfPart5AndPart6) {
  sampleLargeTable(5, 200, 10);
  sampleLargeTable(6, 60, 40);
}

}  // namespace
}  // namespace equ
