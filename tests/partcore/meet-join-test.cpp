// meet-join-test.cpp - meet and join against the matrix route and against the
// lattice definitions, the worked examples, sortRange's bounds and codes
// that are not valid (no read outside W bytes).
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

#include "part-tables.hpp"
#include "partcore/lookup.hpp"
#include "partcore/meet-join.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

// Block number of every element 1..n, read from the code's own layout; an
// oracle that shares nothing with sameBlock.
std::array<int, 12> blocksOf(const std::uint8_t* c, int n) {
  std::array<int, 12> block{};
  int b = 0;
  int seen = 0;
  for (int p = 0; seen < n; ++p) {
    if (c[p] == 1) {
      ++b;
    } else {
      block[static_cast<std::size_t>(c[p] - 1)] = b;
      ++seen;
    }
  }
  return block;
}

// Joins in the union-find sense: elements linked by a chain of blocks of a or b.
std::array<int, 12> joinClasses(const std::array<int, 12>& a, const std::array<int, 12>& b, int n) {
  std::array<int, 12> root{};
  std::iota(root.begin(), root.end(), 0);
  auto find = [&](int x) {
    while (root[static_cast<std::size_t>(x)] != x) x = root[static_cast<std::size_t>(x)];
    return x;
  };
  for (int x = 1; x <= n; ++x) {
    for (int y = x + 1; y <= n; ++y) {
      const auto ux = static_cast<std::size_t>(x);
      const auto uy = static_cast<std::size_t>(y);
      if (a[ux] == a[uy] || b[ux] == b[uy]) root[static_cast<std::size_t>(find(y))] = find(x);
    }
  }
  std::array<int, 12> cls{};
  for (int x = 1; x <= n; ++x) cls[static_cast<std::size_t>(x)] = find(x);
  return cls;
}

}  // namespace
}  // namespace equ::test

namespace equ {
// Names the limits in gtest's messages instead of dumping their bytes.
inline void PrintTo(const CoreLimits& limits, std::ostream* os) { *os << "nmax " << limits.nmax; }
}  // namespace equ

namespace equ::test {
namespace {

class MeetJoinAllPairs : public ::testing::TestWithParam<CoreLimits> {};

TEST_P(MeetJoinAllPairs, AgreeWithMatrixRouteAndDefinitions) {
  for (int n = 1; n <= 5; ++n) {
    SCOPED_TRACE(n);
    loadPart(n, GetParam());
    const PartitionTable& t = table();
    PartitionCode m, j, mm, mj;
    for (std::int32_t x = 1; x <= t.N; ++x) {
      for (std::int32_t y = 1; y <= t.N; ++y) {
        const std::uint8_t* a = t.code(x);
        const std::uint8_t* b = t.code(y);
        meet(a, b, m.data());
        join(a, b, j.data());
        matrixMeet(a, b, mm.data());
        matrixJoin(a, b, mj.data());
        ASSERT_TRUE(std::equal(m.bytes.begin(), m.bytes.begin() + t.W(), mm.bytes.begin())) << x << "," << y;
        ASSERT_TRUE(std::equal(j.bytes.begin(), j.bytes.begin() + t.W(), mj.bytes.begin())) << x << "," << y;
        // Canonical results are table entries; a meet or join absent from a
        // complete table would be malformed.
        ASSERT_NE(placeInSet(m.data()), 0);
        ASSERT_NE(placeInSet(j.data()), 0);
        const auto ba = blocksOf(a, n), bb = blocksOf(b, n);
        const auto bm = blocksOf(m.data(), n), bj = blocksOf(j.data(), n);
        const auto chains = joinClasses(ba, bb, n);
        for (int u = 1; u <= n; ++u) {
          for (int v = 1; v <= n; ++v) {
            const auto uu = static_cast<std::size_t>(u);
            const auto uv = static_cast<std::size_t>(v);
            ASSERT_EQ(bm[uu] == bm[uv], ba[uu] == ba[uv] && bb[uu] == bb[uv]);
            ASSERT_EQ(bj[uu] == bj[uv], chains[uu] == chains[uv]);
            ASSERT_EQ(sameBlock(static_cast<std::uint8_t>(u + 1), static_cast<std::uint8_t>(v + 1), a),
                      ba[uu] == ba[uv]);
          }
        }
      }
    }
  }
}

std::string limitsName(const ::testing::TestParamInfo<CoreLimits>& param) {
  return param.param.nmax == 7 ? "Small" : "Large";
}
INSTANTIATE_TEST_SUITE_P(BothLimits, MeetJoinAllPairs, ::testing::Values(kSmallLimits, kLargeLimits),
                         limitsName);

struct ExampleCase {
  const char* what;
  int n;
  PartitionCode a, b, meet, join;
};

TEST(MeetJoin, WorkedExamples) {
  const auto singletons4 = codeOf({1, 0, 2, 0, 3, 0, 4, 0});
  const auto top4 = codeOf({1, 2, 3, 4, 0});
  const auto mixed4 = codeOf({1, 3, 0, 2, 4, 0});
  const ExampleCase cases[] = {
      {"n = 4, two pairs", 4, codeOf({1, 2, 0, 3, 0, 4, 0}), codeOf({1, 0, 2, 3, 0, 4, 0}), singletons4,
       codeOf({1, 2, 3, 0, 4, 0})},
      // 1 reaches 4 directly and 3 only through 4: a second pass, then 1 4 3 sorted.
      {"n = 5, two passes", 5, codeOf({1, 4, 0, 2, 0, 3, 0, 5, 0}), codeOf({1, 0, 2, 5, 0, 3, 4, 0}),
       codeOf({1, 0, 2, 0, 3, 0, 4, 0, 5, 0}), codeOf({1, 3, 4, 0, 2, 5, 0})},
      {"with itself", 4, mixed4, mixed4, mixed4, mixed4},
      {"with the one block", 4, mixed4, top4, mixed4, top4},
      {"with all singletons", 4, mixed4, singletons4, singletons4, mixed4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    loadPart(c.n);
    for (bool swap : {false, true}) {
      const std::uint8_t* a = swap ? c.b.data() : c.a.data();
      const std::uint8_t* b = swap ? c.a.data() : c.b.data();
      PartitionCode out;
      out.bytes.fill(99);  // every W position must be written
      meet(a, b, out.data());
      EXPECT_TRUE(std::equal(out.bytes.begin(), out.bytes.begin() + 21, c.meet.bytes.begin()));
      out.bytes.fill(99);
      join(a, b, out.data());
      EXPECT_TRUE(std::equal(out.bytes.begin(), out.bytes.begin() + 21, c.join.bytes.begin()));
    }
  }
}

TEST(MeetJoin, RandomPairsOfPart10AgreeWithMatrixRoute) {
  loadPart(10);
  const PartitionTable& t = table();
  std::uint64_t state = 12345;
  auto draw = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::int32_t>((state >> 33) % static_cast<std::uint64_t>(t.N)) + 1;
  };
  PartitionCode m, j, mm, mj;
  for (int round = 0; round < 2000; ++round) {
    const std::uint8_t* a = t.code(draw());
    const std::uint8_t* b = t.code(draw());
    meet(a, b, m.data());
    join(a, b, j.data());
    matrixMeet(a, b, mm.data());
    matrixJoin(a, b, mj.data());
    ASSERT_TRUE(equalCodes(m.data(), mm.data()));
    ASSERT_TRUE(equalCodes(j.data(), mj.data()));
    ASSERT_NE(placeInSet(m.data()), 0);
    ASSERT_NE(placeInSet(j.data()), 0);
  }
}

TEST(SortRange, SortsInsideTheBoundsAndRefusesOthers) {
  initTable(kLargeLimits);
  PartitionCode c = codeOf({5, 4, 3, 2, 1});
  sortRange(2, 4, c.data());
  EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.begin() + 5, codeOf({5, 2, 3, 4, 1}).bytes.begin()));
  const std::array<std::pair<std::int32_t, std::int32_t>, 4> bad = {{{3, 3}, {1, 22}, {0, 2}, {4, 3}}};
  for (const auto& [lo, hi] : bad) {
    ConsoleScope scope;
    SCOPED_TRACE(std::to_string(lo) + ".." + std::to_string(hi));
    EXPECT_THROW(
        {
          try {
            sortRange(lo, hi, c.data());
          } catch (const FatalReport& e) {
            EXPECT_STREQ(e.what(), "Error /d8uE3bF");
            throw;
          }
        },
        FatalReport);
  }
}

// Codes a malformed list file can put into the table. Each sits in a heap
// block of exactly W bytes, so AddressSanitizer sees any read past it.
TEST(MeetJoin, MalformedCodesStayInsideTheirBytes) {
  for (const CoreLimits& limits : {kSmallLimits, kLargeLimits}) {
    loadPart(limits.nmax, limits);
    const auto W = static_cast<std::size_t>(limits.width);
    const auto n = limits.nmax;
    std::vector<std::vector<std::uint8_t>> codes;
    codes.emplace_back(W, 7);    // no block end, no end mark
    codes.emplace_back(W, 0);    // no element at all
    codes.emplace_back(W, 1);    // only block ends
    codes.emplace_back(W, 250);  // bytes that are no element
    codes.emplace_back(table().code(1), table().code(1) + W);     // all singletons, valid
    codes.emplace_back(W, 0);  // descending elements, repeated, never closed
    for (std::size_t p = 0; p < W; ++p) {
      codes.back()[p] = static_cast<std::uint8_t>(n + 1 - static_cast<int>(p) % n);
    }
    for (const auto& a : codes) {
      for (const auto& b : codes) {
        auto out = std::make_unique<std::uint8_t[]>(W);
        meet(a.data(), b.data(), out.get());
        // Each element once, at most one block end each, the end mark in place.
        std::array<int, 256> count{};
        std::size_t p = 0;
        for (; p < W && out[p] != 0; ++p) ++count[out[p]];
        ASSERT_LT(p, W);
        for (int e = 2; e <= n + 1; ++e) EXPECT_EQ(count[static_cast<std::size_t>(e)], 1);
        join(a.data(), b.data(), out.get());
        p = 0;
        while (p < W && out[p] != 0) ++p;
        ASSERT_LT(p, W);
        EquivMatrix e;
        codeToMatrix(a.data(), e);
        matrixMeet(a.data(), b.data(), out.get());
        matrixJoin(a.data(), b.data(), out.get());
        (void)sameBlock(2, static_cast<std::uint8_t>(n + 1), a.data());
        (void)sameBlock(250, 251, a.data());
      }
    }
  }
}

TEST(ShowMeetJoin, FortyRoundsEachWithAWait) {
  ConsoleScope scope;
  scope.con().lines.assign(45, "");
  loadPart(4);
  showMeetJoin();
  EXPECT_EQ(scope.con().linesRead, 40);
  const std::string& out = scope.con().output;
  std::size_t rounds = 0;
  for (std::size_t at = out.find("Operands:\r\n"); at != std::string::npos; at = out.find("Operands:\r\n", at + 1)) {
    ++rounds;
  }
  EXPECT_EQ(rounds, 40u);
  EXPECT_NE(out.find("\r\n1th. Their meet:\r\n"), std::string::npos);
  EXPECT_NE(out.find("\r\n40th. Their join:\r\n"), std::string::npos);
}

}  // namespace
}  // namespace equ::test
