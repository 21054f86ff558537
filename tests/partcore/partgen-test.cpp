// partgen-test.cpp - the Part(n) generator: Bell counts, the exact text, the
// round trip through the reader and the table check, and the command line.
#include <gtest/gtest.h>

#include <sstream>

#include "part-tables.hpp"
#include "partcore/lookup.hpp"
#include "partcore/table-check.hpp"
#include "partcore/table.hpp"
#include "partgen/partgen.hpp"

namespace equ::test {
namespace {

TEST(Partgen, CountsAreBellNumbers) {
  for (int n = 1; n <= 10; ++n) {
    const std::string text = partitionListText(n);
    std::size_t lines = 0;
    std::size_t bareLf = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\n') continue;
      ++lines;
      bareLf += (i == 0 || text[i - 1] != '\r') ? 1 : 0;
    }
    EXPECT_EQ(static_cast<std::int64_t>(lines), 2 + 2 * bellNumber(n)) << n;
    EXPECT_EQ(bareLf, 0u) << n;
  }
  EXPECT_EQ(partitionListText(0), "");
  EXPECT_EQ(partitionListText(11), "");
}

TEST(Partgen, Part3Text) {
  EXPECT_EQ(partitionListText(3),
            "Part(3): the 5 partitions of {1,...,3} in ascending order\r\n"
            "written by equspan partgen; each partition line is followed by its index and blocks\r\n"
            "1 0 2 0 3 0 -1\r\n#1 {1},{2},{3}\r\n"
            "1 0 2 3 0 -1\r\n#2 {1},{2,3}\r\n"
            "1 2 0 3 0 -1\r\n#3 {1,2},{3}\r\n"
            "1 2 3 0 -1\r\n#4 {1,2,3}\r\n"
            "1 3 0 2 0 -1\r\n#5 {1,3},{2}\r\n");
}

TEST(Partgen, RoundTripThroughReaderAndCheck) {
  for (const CoreLimits& limits : {kSmallLimits, kLargeLimits}) {
    for (int n = 1; n <= 7; ++n) {
      SCOPED_TRACE(std::to_string(n) + " of nmax " + std::to_string(limits.nmax));
      ASSERT_EQ(readListBytes(partitionListText(n), {}, limits).fatal, "");
      const PartitionTable& t = table();
      EXPECT_EQ(t.ne, n);
      EXPECT_EQ(t.N, bellNumber(n));
      ConsoleScope scope;
      EXPECT_NO_THROW(checkTable());
      for (std::int32_t i = 1; i <= t.N; ++i) ASSERT_EQ(placeInSet(t.code(i)), i);
    }
  }
}

struct UsageCase {
  std::vector<std::string> args;
  const char* errStart;
};

TEST(Partgen, RefusesBadUsage) {
  const UsageCase cases[] = {
      {{}, "partgen: expected the element count"},
      {{"3", "a", "b"}, "partgen: expected the element count"},
      {{"0"}, "partgen: the element count must be a whole number from 1 to 10, not \"0\""},
      {{"11"}, "partgen: the element count must be a whole number from 1 to 10, not \"11\""},
      {{"-3"}, "partgen: the element count must be"},
      {{"3x"}, "partgen: the element count must be"},
      {{" 3"}, "partgen: the element count must be"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(runPartgen(c.args, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str().rfind(c.errStart, 0), 0u) << err.str();
  }
}

TEST(Partgen, WritesStandardOutputOrANewFileOnly) {
  std::ostringstream out, err;
  EXPECT_EQ(runPartgen({"4"}, out, err), 0);
  EXPECT_EQ(out.str(), partitionListText(4));
  EXPECT_EQ(err.str(), "");

  TempDir dir;
  const std::string name = dir.file("p4.txt");
  std::ostringstream out2, err2;
  EXPECT_EQ(runPartgen({"4", name}, out2, err2), 0);
  EXPECT_EQ(dir.read("p4.txt"), partitionListText(4));
  EXPECT_EQ(out2.str(), "");

  dir.write("p5.txt", "keep me");
  std::ostringstream out3, err3;
  EXPECT_EQ(runPartgen({"5", dir.file("p5.txt")}, out3, err3), 1);
  EXPECT_EQ(dir.read("p5.txt"), "keep me");
  EXPECT_NE(err3.str().find("exists already"), std::string::npos);

  std::ostringstream out4, err4;
  EXPECT_EQ(runPartgen({"5", dir.file("no-such-folder/p5.txt")}, out4, err4), 1);
  EXPECT_NE(err4.str().find("cannot create"), std::string::npos);
}

}  // namespace
}  // namespace equ::test
