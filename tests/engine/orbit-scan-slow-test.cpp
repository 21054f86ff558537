// orbit-scan-slow-test.cpp - the orbit scanner on sampled four-sets of Part(7).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/oracle.hpp"
#include "partcore/engine.hpp"
#include "partcore/orbit-scan.hpp"

namespace equ {
namespace {

TEST(OrbitScanner, SampledFourSetsOfPart7) {
  test::loadPart(7, kSmallLimits);
  ClosureEngine engine;
  OrbitScanner orbits(engine);
  auto ws = engine.makeWorkspace();
  const std::int32_t N = table().N;
  std::mt19937 rng(877);
  long compared = 0;
  std::vector<std::int32_t> sizes;
  // Early i1 have large symmetry groups, late ones small: take both.
  for (const std::int32_t i1 : {1, 2, 15, 300, 612, 870}) {
    const auto i2 = static_cast<std::int32_t>(i1 + 1 + static_cast<std::int32_t>(rng() % static_cast<unsigned>(N - i1 - 2)));
    sizes.clear();
    orbits.scanPair(i1, i2, sizes, *ws);
    std::size_t k = 0;
    for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3) {
      for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++k) {
        if (rng() % 400 != 0) continue;
        ASSERT_EQ(sizes.at(k), test::referenceCount({i1, i2, i3, i4}, false))
            << "{" << i1 << ", " << i2 << ", " << i3 << ", " << i4 << "}";
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 300);
}

}  // namespace
}  // namespace equ
