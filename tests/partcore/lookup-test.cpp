// lookup-test.cpp - placeInSet's probe sequence and its answer for absent
// codes, and the self-test's lines on good and broken tables.
#include <gtest/gtest.h>

#include <algorithm>

#include "part-tables.hpp"
#include "partcore/lookup.hpp"
#include "partcore/subset.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

// Every entry of Part(n) is found at its own index within maxProbes.
void expectEveryEntryFound(std::int32_t maxProbes) {
  const PartitionTable& t = table();
  std::int32_t worst = 0;
  for (std::int32_t i = 1; i <= t.N; ++i) {
    std::int32_t probes = 0;
    ASSERT_EQ(placeInSetCounted(t.code(i), probes), i);
    worst = std::max(worst, probes);
  }
  EXPECT_LE(worst, maxProbes);
}

TEST(PlaceInSet, FindsEveryEntryWithinTheProbeBound) {
  loadPart(7, kSmallLimits);
  expectEveryEntryFound(13);
  loadPart(10, kLargeLimits);
  expectEveryEntryFound(19);
}

TEST(PlaceInSet, OneAndTwoEntries) {
  std::int32_t probes = 0;
  loadPart(1);
  EXPECT_EQ(placeInSetCounted(table().code(1), probes), 1);
  EXPECT_EQ(probes, 1);
  loadPart(2);
  EXPECT_EQ(placeInSetCounted(table().code(1), probes), 1);
  EXPECT_EQ(probes, 1);
  // Lower middle 1, then 1 + 1.
  EXPECT_EQ(placeInSetCounted(table().code(2), probes), 2);
  EXPECT_EQ(probes, 2);
}

// Tables of 1 to 40 entries whose first bytes are 2, 4, 6, ...: each entry
// is found, and every odd byte (below, between, above) gives 0 without
// leaving 1..N (the table ends at N, so a probe past it would read stale data,
// and ASan would see a probe past the allocation of a full table).
TEST(PlaceInSet, AbsentCodesGiveZeroForEverySize) {
  for (std::int32_t size = 1; size <= 40; ++size) {
    SCOPED_TRACE(size);
    initTable(kSmallLimits);
    PartitionTable& t = table();
    t.N = size;
    setElementCount(0);  // L = 1: the first byte decides
    for (std::int32_t i = 1; i <= size; ++i) t.code(i)[0] = static_cast<std::uint8_t>(2 * i);
    PartitionCode p;
    for (std::int32_t v = 1; v <= 2 * size + 1; ++v) {
      p.bytes[0] = static_cast<std::uint8_t>(v);
      std::int32_t probes = 0;
      EXPECT_EQ(placeInSetCounted(p.data(), probes), v % 2 == 0 ? v / 2 : 0) << v;
      EXPECT_LE(probes, 2 * 7 + 2) << v;
    }
  }
}

TEST(PlaceInSet, PartitionsMissingFromPart4GiveZero) {
  for (std::int32_t removed = 1; removed <= 15; ++removed) {
    SCOPED_TRACE(removed);
    loadPart(4);
    PartitionTable& t = table();
    PartitionCode gone;
    std::copy_n(t.code(removed), t.W(), gone.bytes.begin());
    std::copy(t.code(removed + 1), t.code(t.N + 1), t.code(removed));
    t.N -= 1;
    EXPECT_EQ(placeInSet(gone.data()), 0);
    for (std::int32_t i = 1; i <= t.N; ++i) EXPECT_EQ(placeInSet(t.code(i)), i);
  }
}

TEST(PlaceInSet, IgnoresBytesAfterTheCodeLength) {
  loadPart(3);
  PartitionCode p = codeOf({1, 2, 0, 3, 0});
  p.bytes[8] = 77;  // position 9, past L = 7
  EXPECT_EQ(placeInSet(p.data()), 3);
}

TEST(FlagOfCode, ReadsTheFlagOfTheIndex) {
  loadPart(3);
  PartitionSubset s;
  initSubset(s, false);
  addMember(s, 4);
  EXPECT_TRUE(flagOfCode(codeOf({1, 2, 3, 0}).data(), s));
  EXPECT_FALSE(flagOfCode(codeOf({1, 3, 0, 2, 0}).data(), s));
  EXPECT_FALSE(flagOfCode(codeOf({1, 2, 4, 0}).data(), s));  // not in the table
}

TEST(TestPlaceInSet, SortedTablePasses) {
  ConsoleScope scope;
  scope.con().lines = {"", "not read"};
  loadPart(2);
  testPlaceInSet();
  EXPECT_EQ(scope.con().output,
            "Processing i =1\r\nProcessed i =1\r\nProcessing i =2\r\nProcessed i =2\r\n"
            "placeInSet works without problems\r\n");
  EXPECT_EQ(scope.con().linesRead, 1);
}

struct BrokenCase {
  const char* what;
  void (*breakTable)();
  std::string lines;  // what the self-test writes before the fatal report
};

TEST(TestPlaceInSet, BrokenTablesEndTheRun) {
  const BrokenCase cases[] = {
      {"neighbours 2 and 3 swapped",
       [] {
         std::swap_ranges(table().code(2), table().code(3), table().code(3));
       },
       "Processing i =1\r\nProcessed i =1\r\nProcessing i =2\r\n\r\ni= 2\r\n"
       "A0[i]: 1 2 0 3 0 -1 -1 \r\nplaceInSet(p)= 0\r\n"},
      {"entry 3 equal to entry 2",
       [] { std::copy_n(table().code(2), table().W(), table().code(3)); },
       "Processing i =1\r\nProcessed i =1\r\nProcessing i =2\r\n\r\ni= 2\r\n"
       "A0[i]: 1 0 2 3 0 -1 -1 \r\nplaceInSet(p)= 3\r\nA0[3]: 1 0 2 3 0 -1 -1 \r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ConsoleScope scope;
    loadPart(3);
    c.breakTable();
    EXPECT_THROW(
        {
          try {
            testPlaceInSet();
          } catch (const FatalReport& e) {
            EXPECT_STREQ(e.what(), "(Code-uZt) placeInSet error");
            throw;
          }
        },
        FatalReport);
    const std::string& out = scope.con().output;
    EXPECT_EQ(out.substr(0, c.lines.size()), c.lines);
    EXPECT_EQ(out.find("works without problems"), std::string::npos);
  }
}

}  // namespace
}  // namespace equ::test
