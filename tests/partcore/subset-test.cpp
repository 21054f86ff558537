// subset-test.cpp - the two reference closures: worked examples, member order,
// agreement with each other and with a naive fixed point, and missing meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "closure-oracle.hpp"
#include "partcore/subset.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

TEST(CloseByMemberList, AddsInStagesMeetBeforeJoin) {
  loadPart(3);  // 1 {1},{2},{3}; 2 {1},{2,3}; 3 {1,2},{3}; 4 {1,2,3}; 5 {1,3},{2}
  PartitionSubset s;
  initSubset(s, true);
  addMember(s, 3);
  addMember(s, 2);
  closeByMemberList(s);
  ASSERT_EQ(s.count, 4);
  EXPECT_EQ(std::vector<std::int32_t>(s.members.begin() + 1, s.members.begin() + 5),
            (std::vector<std::int32_t>{3, 2, 1, 4}));
  EXPECT_EQ(closedCount({3, 2}, Closure::FlagScan), 4);
}

struct ClosureCase {
  const char* what;
  int n;
  std::vector<PartitionCode> generators;
  std::int32_t count;
};

TEST(Closures, KnownSublatticeSizes) {
  const ClosureCase cases[] = {
      {"one member", 3, {codeOf({1, 2, 0, 3, 0})}, 1},
      {"two comparable", 3, {codeOf({1, 2, 0, 3, 0}), codeOf({1, 2, 3, 0})}, 2},
      {"two incomparable: both, meet, join", 3, {codeOf({1, 2, 0, 3, 0}), codeOf({1, 0, 2, 3, 0})}, 4},
      {"the three atoms of Equ(3)", 3,
       {codeOf({1, 0, 2, 3, 0}), codeOf({1, 2, 0, 3, 0}), codeOf({1, 3, 0, 2, 0})}, 5},
      {"a generating four-set of Equ(4)", 4,
       {codeOf({1, 0, 2, 0, 3, 4, 0}), codeOf({1, 0, 2, 3, 0, 4, 0}), codeOf({1, 2, 0, 3, 0, 4, 0}),
        codeOf({1, 3, 0, 2, 4, 0})},
       15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    loadPart(c.n);
    for (Closure how : {Closure::MemberList, Closure::FlagScan}) {
      PartitionSubset s;
      initSubset(s, how == Closure::MemberList);
      for (const auto& g : c.generators) addCode(g.data(), s);
      ASSERT_EQ(s.count, static_cast<std::int32_t>(c.generators.size()));
      if (how == Closure::MemberList) {
        closeByMemberList(s);
        // The member list holds exactly the flagged indices, each once.
        std::vector<std::int32_t> listed(s.members.begin() + 1, s.members.begin() + 1 + s.count);
        std::sort(listed.begin(), listed.end());
        std::vector<std::int32_t> flagged;
        for (std::int32_t i = 1; i <= table().N; ++i) {
          if (s.flags[static_cast<std::size_t>(i)] != 0) flagged.push_back(i);
        }
        EXPECT_EQ(listed, flagged);
      } else {
        closeByFlagScan(s);
      }
      EXPECT_EQ(s.count, c.count);
      clearSubset(s);
      EXPECT_EQ(s.count, 0);
      EXPECT_TRUE(std::all_of(s.flags.begin() + 1, s.flags.begin() + 1 + table().N,
                              [](std::uint8_t f) { return f == 0; }));
    }
  }
}

TEST(Closures, AgreeOnEveryFourSetOfPart4) {
  loadPart(4);
  const std::int32_t N = table().N;
  std::int32_t generating = 0;
  for (std::int32_t a = 1; a <= N; ++a) {
    for (std::int32_t b = a + 1; b <= N; ++b) {
      for (std::int32_t c = b + 1; c <= N; ++c) {
        for (std::int32_t d = c + 1; d <= N; ++d) {
          const std::vector<std::int32_t> set = {a, b, c, d};
          const std::int32_t expected = naiveClosure(set);
          ASSERT_EQ(closedCount(set, Closure::MemberList), expected) << a << b << c << d;
          ASSERT_EQ(closedCount(set, Closure::FlagScan), expected) << a << b << c << d;
          generating += expected == N ? 1 : 0;
        }
      }
    }
  }
  EXPECT_GT(generating, 0);
}

// Larger samples are in closures-slow-test.cpp.
TEST(Closures, AgreeOnSamplesOfPart5AndPart6) {
  expectAgreementOnSample(5, 200, true);
  expectAgreementOnSample(6, 20, false);
}

TEST(Closures, AMeetMissingFromTheTableEndsTheRun) {
  ConsoleScope scope;
  loadPart(3);
  PartitionTable& t = table();
  // Drop {1},{2},{3}: the meet of {1,2},{3} and {1},{2,3} has nowhere to go.
  std::copy(t.code(2), t.code(6), t.code(1));
  t.N = 4;
  for (Closure how : {Closure::MemberList, Closure::FlagScan}) {
    PartitionSubset s;
    initSubset(s, how == Closure::MemberList);
    addMember(s, 1);
    addMember(s, 2);
    try {
      if (how == Closure::MemberList) {
        closeByMemberList(s);
      } else {
        closeByFlagScan(s);
      }
      ADD_FAILURE() << "closure returned";
    } catch (const FatalReport& e) {
      EXPECT_STREQ(e.what(), "(Code-zNtQwPlc) internal error");
    }
    EXPECT_EQ(s.flags[0], 0);  // index 0 is never used
  }
  PartitionSubset s;
  initSubset(s, false);
  EXPECT_THROW(addCode(codeOf({1, 0, 2, 0, 3, 0}).data(), s), FatalReport);
  EXPECT_EQ(s.count, 0);
}

TEST(PrintSubset, ListsMembersInIndexOrderThenWaits) {
  ConsoleScope scope;
  scope.con().lines = {"", "not read"};
  loadPart(2);
  PartitionSubset s;
  initSubset(s, false);
  addMember(s, 2);
  addMember(s, 1);
  printSubset(s);
  EXPECT_EQ(scope.con().linesRead, 1);
  EXPECT_EQ(scope.con().output,
            "The subset is 2-element and consists of\r\n1 0 2 0 -1 \r\n1 2 0 -1 -1 \r\n");
}

}  // namespace
}  // namespace equ::test
