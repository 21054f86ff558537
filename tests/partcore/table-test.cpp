// table-test.cpp - code order, equality and the printed forms of codes.
#include <gtest/gtest.h>

#include "part-tables.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

struct CompareCase {
  const char* what;
  std::int32_t n;
  PartitionCode a, b;
  std::int32_t expected;  // compareCodes(a, b)
};

TEST(CompareCodes, OrdersByUnsignedBytesOverTheCodeLength) {
  PartitionCode beyondL = codeOf({1, 2, 0});  // n = 2, L = 5
  beyondL.bytes[6] = 9;                       // position 7, past L
  PartitionCode high = codeOf({1, 0});
  high.bytes[0] = 200;
  const CompareCase cases[] = {
      {"equal", 3, codeOf({1, 2, 3, 0}), codeOf({1, 2, 3, 0}), 0},
      {"differ only after L", 2, codeOf({1, 2, 0}), beyondL, 0},
      {"end mark below block end", 3, codeOf({1, 2, 0, -1}), codeOf({1, 2, 0, 3, 0}), 1},
      {"block end below element", 3, codeOf({1, 0, 2, 0, 3, 0}), codeOf({1, 2, 0, 3, 0}), 1},
      {"last position of L decides", 3, codeOf({1, 0, 2, 0, 3, 0, -1}), codeOf({1, 0, 2, 0, 3, 0, 0}), 1},
      {"byte 200 above byte 5", 4, high, codeOf({4, 0}), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setElementCount(c.n);
    EXPECT_EQ(compareCodes(c.a.data(), c.b.data()), c.expected);
    EXPECT_EQ(compareCodes(c.b.data(), c.a.data()), c.expected == 0 ? 0 : 3 - c.expected);
    EXPECT_EQ(compareCodes(c.a.data(), c.a.data()), 0);
    EXPECT_EQ(equalCodes(c.a.data(), c.b.data()), c.expected == 0);
  }
}

TEST(CompareCodes, Part3IsInAscendingOrder) {
  loadPart(3);
  const PartitionTable& t = table();
  ASSERT_EQ(t.N, 5);
  const PartitionCode expected[] = {codeOf({1, 0, 2, 0, 3, 0}), codeOf({1, 0, 2, 3, 0}),
                                    codeOf({1, 2, 0, 3, 0}), codeOf({1, 2, 3, 0}),
                                    codeOf({1, 3, 0, 2, 0})};
  for (std::int32_t i = 1; i <= t.N; ++i) {
    EXPECT_TRUE(equalCodes(t.code(i), expected[i - 1].data())) << i;
    if (i > 1) {
      EXPECT_EQ(compareCodes(t.code(i - 1), t.code(i)), 1) << i;
    }
  }
}

struct PrintCase {
  std::int32_t n;
  PartitionCode code;
  const char* text;
};

TEST(PrintCode, BreaksAfterEveryTwentiethValue) {
  const PrintCase cases[] = {
      {4, codeOf({1, 3, 0, 2, 0, 4, 0}), "1 3 0 2 0 4 0 -1 -1 \r\n"},
      {3, codeOf({1, 2, 3, 0}), "1 2 3 0 -1 -1 -1 \r\n"},
      {10, codeOf({1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10, 0}),
       "1 0 2 0 3 0 4 0 5 0 6 0 7 0 8 0 9 0 10 0 \r\n-1 \r\n"},
      {10, codeOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}),
       "1 2 3 4 5 6 7 8 9 10 0 -1 -1 -1 -1 -1 -1 -1 -1 -1 \r\n-1 \r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ConsoleScope scope;
    setElementCount(c.n);
    printCode(c.code.data(), scope.con());
    EXPECT_EQ(scope.con().output, c.text);
  }
}

TEST(PrintTable, ListsEveryPositionThenWaits) {
  ConsoleScope scope;
  scope.con().lines = {"anything", "left over"};
  loadPart(2, kSmallLimits);
  printTable();
  std::string row1 = "1 0 2 0 -1";
  std::string row2 = "1 2 0 -1";
  for (int i = 0; i < 10; ++i) row1 += " -1";
  for (int i = 0; i < 11; ++i) row2 += " -1";
  EXPECT_EQ(scope.con().output, "Number of elements = 2,  number of partitions = 2\r\n" + row1 +
                                    " \r\n" + row2 + " \r\n");
  EXPECT_EQ(scope.con().linesRead, 1);
}

}  // namespace
}  // namespace equ::test
