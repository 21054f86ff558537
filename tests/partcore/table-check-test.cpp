// table-check-test.cpp - Bell numbers, and the refusal of tables that are not
// canonical, not ascending or incomplete, naming the first offending line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "part-tables.hpp"
#include "partcore/table-check.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

const std::string kPrefix = "The partition list cannot be used: ";

// The message of checkTable's refusal, or an empty text when it passes.
std::string checkMessage() {
  ConsoleScope scope;
  try {
    checkTable();
  } catch (const FatalReport& e) {
    return e.what();
  }
  return "";
}

TEST(BellNumber, KnownValues) {
  const std::pair<std::int32_t, std::int64_t> cases[] = {
      {0, 1}, {1, 1}, {2, 2}, {3, 5}, {4, 15}, {5, 52}, {6, 203}, {7, 877}, {8, 4140},
      {10, 115975}, {25, 4638590332229999353}, {-1, 0}, {26, 0}};
  for (const auto& [n, bell] : cases) EXPECT_EQ(bellNumber(n), bell) << n;
}

TEST(CheckTable, CompleteTablesPass) {
  for (int n = 1; n <= 7; ++n) {
    loadPart(n, kSmallLimits);
    EXPECT_EQ(checkMessage(), "") << n;
  }
  loadPart(10, kLargeLimits);
  EXPECT_EQ(checkMessage(), "");
}

TEST(CheckTable, FixturesAreRefusedAtTheirLine) {
  const std::pair<const char*, std::string> cases[] = {
      {"core-not-ascending.txt", kPrefix + "the partition on line 7 is not above the one before it."},
      {"core-not-canonical.txt", kPrefix + "the partition on line 9 is not in canonical form."},
      {"core-incomplete.txt", kPrefix + "it holds 4 partitions, but a set of 3 elements has 5."},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    std::ifstream in(std::string(EQUSPAN_TEST_DATA) + "/" + file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_FALSE(bytes.str().empty());
    ASSERT_EQ(readListBytes(bytes.str()).fatal, "");
    EXPECT_EQ(checkMessage(), message);
  }
}

struct EntryCase {
  const char* what;
  PartitionCode entry;  // put in place of A0[4] of Part(3), which is 1 2 3 0
  const char* verdict;  // the end of the message
};

TEST(CheckTable, EveryKindOfNonCanonicalCode) {
  PartitionCode junkAfterEnd = codeOf({1, 2, 3, 0});
  junkAfterEnd.bytes[12] = 3;  // position 13, past L but within W
  PartitionCode unclosed = codeOf({1, 2, 0, 3});
  const EntryCase cases[] = {
      {"block not ascending", codeOf({1, 3, 2, 0}), "is not in canonical form."},
      {"blocks out of order", codeOf({2, 0, 1, 3, 0}), "is not in canonical form."},
      {"element missing", codeOf({1, 2, 0}), "is not in canonical form."},
      {"element twice", codeOf({1, 2, 0, 2, 3, 0}), "is not in canonical form."},
      {"element beyond n", codeOf({1, 2, 3, 4, 0}), "is not in canonical form."},
      {"empty block", codeOf({0, 1, 2, 3, 0}), "is not in canonical form."},
      {"last block not closed", unclosed, "is not in canonical form."},
      {"a lone block end after the last block", codeOf({1, 2, 3, 0, 0}), "is not in canonical form."},
      {"non-zero after the end mark", junkAfterEnd, "is not in canonical form."},
      {"canonical but equal to A0[3]", codeOf({1, 2, 0, 3, 0}), "is not above the one before it."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    loadPart(3);
    std::copy_n(c.entry.bytes.begin(), table().W(), table().code(4));
    EXPECT_EQ(checkMessage(), kPrefix + "the partition on line 9 " + c.verdict);
  }
}

TEST(CheckTable, BaseSetOfNoElementIsRefused) {
  const ReadOutcome r = readListBytes("h\r\nh\r\n-1\r\n#\r\n");
  ASSERT_EQ(r.fatal, "");
  EXPECT_EQ(checkMessage(), kPrefix + "the partition on line 3 holds no element; the base set needs at least one.");
}

TEST(CheckTable, OnePartitionOfTwoElements) {
  loadPart(2);
  table().N = 1;
  EXPECT_EQ(checkMessage(), kPrefix + "it holds 1 partition, but a set of 2 elements has 2.");
  loadPart(1);
  EXPECT_EQ(checkMessage(), "");
}

}  // namespace
}  // namespace equ::test
