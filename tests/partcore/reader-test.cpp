// reader-test.cpp - the list file reader: malformed files and their coded
// messages, token and spacing rules, Ctrl-Z, long lines, echo and commas.
#include <gtest/gtest.h>

#include <algorithm>

#include "part-tables.hpp"
#include "partcore/reader.hpp"
#include "partcore/table.hpp"

namespace equ::test {
namespace {

const std::string kBadFirst = "(CodewLHb): bad first two lines in input file";
const std::string kBadSecond = "(CodeZpLHKb): bad first two lines in input file";
const std::string kEndsHere = "(CodejZtX): the file should not end here";
const std::string kBadChar = "(CodezeBn!y): unexpected character in input line";
const std::string kTooBig = "Too big base set. Check nmax among the constants.";

const std::string kHeader = "Part(3)\r\nheader two\r\n";

struct MalformedCase {
  const char* what;
  std::string bytes;
  std::string message;
};

TEST(ReadTable, MalformedFilesEndWithTheirMessage) {
  const std::string long255 = "1" + std::string(253, ' ') + "0";  // 255th character is no blank
  std::string numbers22;
  for (int e = 1; e <= 10; ++e) numbers22 += std::to_string(e) + " 0 ";
  numbers22 += "-1 -1";
  const MalformedCase cases[] = {
      {"empty file", "", kBadFirst},
      {"Ctrl-Z first", "\x1a" "Part\r\n", kBadFirst},
      {"one line without end", "Part(3)", kBadSecond},
      {"one line", "Part(3)\r\n", kBadSecond},
      {"Ctrl-Z after line 1", "Part(3)\r\n\x1a" "two\r\n1 0\r\n#\r\n", kBadSecond},
      {"two lines", kHeader, kBadSecond},
      {"partition line, no companion", kHeader + "1 0\r\n", kEndsHere},
      {"partition line without end", kHeader + "1 0", kEndsHere},
      {"Ctrl-Z for the companion", kHeader + "1 0\r\n\x1a#1\r\n", kEndsHere},
      {"empty line after the last pair", kHeader + "1 0\r\n#1\r\n\r\n", kBadChar},
      {"all-blank partition line", kHeader + "   \r\n#1\r\n", kBadChar},
      {"letter in a token", kHeader + "1 x 0\r\n#1\r\n", kBadChar},
      {"tab between numbers", kHeader + "1\t2 0\r\n#1\r\n", kBadChar},
      {"lone sign", kHeader + "1 2 0 -\r\n#1\r\n", kBadChar},
      {"lone dollar", kHeader + "1 2 0 $\r\n#1\r\n", kBadChar},
      {"decimal out of range", kHeader + "1 2 0 2147483648\r\n#1\r\n", kBadChar},
      {"255 characters, last kept is no blank", kHeader + long255 + "\r\n#1\r\n", kBadChar},
      {"more numbers than W", kHeader + numbers22 + "\r\n#1\r\n", kTooBig},
      {"eleven elements", kHeader + "1 2 3 4 5 6 7 8 9 10 11 0\r\n#1\r\n", kTooBig},
      {"bad line after good pairs", kHeader + "1 0\r\n#1\r\n1 0 ?\r\n#2\r\n", kBadChar},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadOutcome r = readListBytes(c.bytes);
    EXPECT_EQ(r.fatal, c.message);
    EXPECT_EQ(r.stop, "");
  }
}

struct GoodCase {
  const char* what;
  std::string bytes;
  std::int32_t N;
  std::int32_t n;
  PartitionCode last;  // A0[N]
};

TEST(ReadTable, LineEndsCtrlZAndSpacing) {
  const std::string pair2 = "1 0 2 0\r\n#1\r\n1 2 0\r\n";
  const std::string long300 = "1 2 0" + std::string(250, ' ') + "garbage past the kept part";
  const GoodCase cases[] = {
      {"one pair", kHeader + "1 0 2 0 3 0 -1\r\n#1\r\n", 1, 3, codeOf({1, 0, 2, 0, 3, 0})},
      {"last companion without line end", kHeader + pair2 + "#2", 2, 2, codeOf({1, 2, 0})},
      {"empty last companion", kHeader + pair2 + "\r\n", 2, 2, codeOf({1, 2, 0})},
      {"Ctrl-Z after the last pair", kHeader + pair2 + "#2\r\n\x1a" "1 0\r\n", 2, 2, codeOf({1, 2, 0})},
      {"LF only", "a\nb\n1 0 2 0\n#\n1 2 0\n#\n", 2, 2, codeOf({1, 2, 0})},
      {"CR only", "a\rb\r1 0 2 0\r#\r1 2 0\r#\r", 2, 2, codeOf({1, 2, 0})},
      {"two blanks", kHeader + pair2 + "#\r\n1  2 0\r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"blanks around", kHeader + pair2 + "#\r\n   1 2 0   \r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"final -1", kHeader + pair2 + "#\r\n1 2 0 -1\r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"tab before the first number", kHeader + pair2 + "#\r\n\t1 2 0\r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"prefixes and sign", kHeader + pair2 + "#\r\n+1 $2 %0\r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"rest past 255 skipped", kHeader + pair2 + "#\r\n" + long300 + "\r\n#\r\n", 3, 2, codeOf({1, 2, 0})},
      {"low 8 bits, no range check", kHeader + pair2 + "#\r\n255 -2 $FF 0\r\n#\r\n", 3, 2,
       codeOf({-1, -2, 255, 0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadOutcome r = readListBytes(c.bytes);
    ASSERT_EQ(r.fatal, "");
    const PartitionTable& t = table();
    EXPECT_EQ(t.N, c.N);
    EXPECT_EQ(t.ne, c.n);
    EXPECT_EQ(t.M, c.n + 1);
    EXPECT_EQ(t.L, 2 * c.n + 1);
    // All W positions, not only L: the rest of the entry must be 0 fill.
    EXPECT_TRUE(std::equal(c.last.bytes.begin(), c.last.bytes.begin() + t.W(), t.code(t.N)));
    EXPECT_EQ(r.console, "");
  }
}

TEST(ReadTable, TokenOfInt32MaxOverflowsOnPlusOne) {
  const ReadOutcome r = readListBytes(kHeader + "1 2147483647 0\r\n#1\r\n");
  EXPECT_EQ(r.stop, "Arithmetic overflow");
}

TEST(ReadTable, EchoesHeadersCutTo255) {
  const std::string longHeader(300, 'h');
  ReaderOptions echo;
  echo.echoHeaders = true;
  const ReadOutcome r = readListBytes(longHeader + "\r\nsecond\r\n1 0\r\n#1\r\n", echo);
  ASSERT_EQ(r.fatal, "");
  EXPECT_EQ(r.console, "1 " + std::string(255, 'h') + "\r\n2 second\r\n");
}

TEST(ReadTable, ParseCodeLineAtTheEndIsRefused) {
  ConsoleScope scope;
  TempDir dir;
  dir.write("list.txt", "1 0\r\n");
  TextReader input;
  ASSERT_TRUE(input.open(dir.file("list.txt")));
  initTable(kLargeLimits);
  PartitionCode c;
  parseCodeLine(input, c.data());
  EXPECT_EQ(c.bytes[0], 2);
  EXPECT_THROW(
      {
        try {
          parseCodeLine(input, c.data());
        } catch (const FatalReport& e) {
          EXPECT_STREQ(e.what(), "(CodezTgQeC28g): invalid procedure call.");
          throw;
        }
      },
      FatalReport);
}

struct CommaCase {
  const char* what;
  bool progressCommas;
  std::int32_t step;
  std::string console;
};

TEST(ReadTable, ProgressCommas) {
  const std::string part3 = partitionListText(3);  // 5 partitions
  const CommaCase cases[] = {
      {"every partition", true, 1, ",,,,,\r\n"},
      {"every second", true, 2, ",,\r\n"},
      {"negative step counts by its size", true, -2, ",,\r\n"},
      {"step 0: no comma, still the line end", true, 0, "\r\n"},
      {"not in this program", false, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ReaderOptions options;
    options.progressCommas = c.progressCommas;
    options.commaStep = c.step;
    const ReadOutcome r = readListBytes(part3, options);
    ASSERT_EQ(r.fatal, "");
    EXPECT_EQ(table().N, 5);
    EXPECT_EQ(r.console, c.console);
  }
}

TEST(ReadTable, Part10WithTheDefaultStepWrites289Commas) {
  ReaderOptions options;
  options.progressCommas = true;
  options.commaStep = 400;
  const ReadOutcome r = readListBytes(partitionListText(10), options);
  ASSERT_EQ(r.fatal, "");
  EXPECT_EQ(table().N, 115975);
  EXPECT_EQ(table().ne, 10);
  EXPECT_EQ(r.console, std::string(289, ',') + "\r\n");
}

TEST(ReadTable, SmallLimitsRefuseWhatDoesNotFit) {
  // Part(8) opens with 1 0 2 0 ... 8 0 -1: 17 numbers for a code of 15.
  EXPECT_EQ(readListBytes(partitionListText(8), {}, kSmallLimits).fatal, kTooBig);
  // Eight elements in few numbers still exceed nmax = 7.
  EXPECT_EQ(readListBytes(kHeader + "1 2 3 4 5 6 7 8 0\r\n#\r\n", {}, kSmallLimits).fatal, kTooBig);
  const ReadOutcome part7 = readListBytes(partitionListText(7), {}, kSmallLimits);
  EXPECT_EQ(part7.fatal, "");
  EXPECT_EQ(table().N, 877);
}

TEST(ReadTable, NoPartitionIsStoredBeyondTheTable) {
  std::string bytes = kHeader;
  for (int i = 0; i < 877; ++i) bytes += "1 0\r\n#\r\n";
  EXPECT_EQ(readListBytes(bytes, {}, kSmallLimits).fatal, "");
  EXPECT_EQ(table().N, 877);
  bytes += "1 0\r\n#\r\n";  // one more than bnnmax
  EXPECT_EQ(readListBytes(bytes, {}, kSmallLimits).fatal, kTooBig);
  EXPECT_EQ(table().N, 877);
}

}  // namespace
}  // namespace equ::test
