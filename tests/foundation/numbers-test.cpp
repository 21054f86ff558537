// numbers-test.cpp - integer reading, checked counters, fixed-point text.
#include <gtest/gtest.h>

#include <cstdint>

#include "partcore/numbers.hpp"
#include "partcore/random.hpp"
#include "support/fake-console.hpp"

namespace equ {
namespace {

struct IntCase {
  const char* text;
  bool ok;
  std::int32_t value;
};

constexpr IntCase kIntCases[] = {
    {"0", true, 0},           {"17", true, 17},           {"$10", true, 16},
    {"$ff", true, 255},       {"$7FFFFFFF", true, INT32_MAX}, {"$FFFFFFFF", true, -1},
    {"$80000000", true, INT32_MIN}, {"%0", true, 0},      {"%101", true, 5},
    {" 3", true, 3},          {"\t 3", true, 3},          {"+7", true, 7},
    {"-7", true, -7},         {"-$10", true, -16},        {"2147483647", true, INT32_MAX},
    {"-2147483648", true, INT32_MIN},
    {"10 ", false, 0},        {"", false, 0},             {"-", false, 0},
    {"$", false, 0},          {"%", false, 0},            {"%2", false, 0},
    {"2147483648", false, 0}, {"-2147483649", false, 0},  {"$100000000", false, 0},
    {"3x", false, 0},         {"1 2", false, 0},          {"$g", false, 0},
    {"0x10", false, 0},       {"+-1", false, 0},          {"1.5", false, 0},
};

TEST(ParseInt32, AcceptsOrRejects) {
  for (const auto& c : kIntCases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    std::int32_t v = 12345;
    ASSERT_EQ(parseInt32(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(ParseInt32, StopMessageQuotesTheText) {
  test::ConsoleScope scope;
  for (const char* text : {"3x", "", "10 "}) {
    try {
      int32OrStop(text);
      FAIL() << "no stop for " << text;
    } catch (const test::ErrorStop& e) {
      EXPECT_EQ(std::string(e.what()), std::string("\"") + text + "\" is an invalid integer");
    }
  }
  EXPECT_EQ(int32OrStop("$10"), 16);
}

TEST(CheckedArithmetic, StopsOnOverflowOnly) {
  test::ConsoleScope scope;
  EXPECT_EQ(add32(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_EQ(mul32(-21474836, 100), -2147483600);
  EXPECT_THROW(add32(INT32_MAX, 1), test::ErrorStop);
  EXPECT_THROW(mul32(21474837, 100), test::ErrorStop);
  // The run totals are 64-bit: S of 18518 generating tests of Part(10) fits.
  EXPECT_EQ(add64(INT64_MAX - 1, 1), INT64_MAX);
  EXPECT_EQ(mul64(18518, 115975), 2147625050);
  EXPECT_THROW(add64(INT64_MAX, 1), test::ErrorStop);
  EXPECT_THROW(mul64(INT64_MAX / 2 + 1, 2), test::ErrorStop);
  try {
    add32(INT32_MAX, 1);
  } catch (const test::ErrorStop& e) {
    EXPECT_STREQ(e.what(), "Arithmetic overflow");
  }
}

struct FixedCase {
  double value;
  int decimals, width;
  const char* text;
};

constexpr FixedCase kFixedCases[] = {
    {0.125, 2, 0, "0.13"},        // printf would give 0.12 (binary half to even)
    {1.005, 2, 0, "1.01"},        // the decimal value, not the nearest double below it
    {2.5, 0, 0, "3"},
    {3.14159, 3, 15, "          3.142"},
    {0.2, 3, 15, "          0.200"},
    {0.0, 3, 15, "          0.000"},
    {123456.789, 3, 15, "     123456.789"},
    {37.1, 2, 30, "                         37.10"},
    {24.5, 4, 3, "24.5000"},
    {100.0, 4, 3, "100.0000"},
    {71.34615384615384, 4, 3, "71.3462"},
    {9.99995, 4, 3, "10.0000"},   // the carry runs into a new digit
    {0.00004, 4, 3, "0.0000"},
    {0.00005, 4, 3, "0.0001"},
    {1e-7, 2, 0, "0.00"},
    {12345678901234.5, 1, 3, "12345678901234.5"},  // never cut
    {-2.5, 1, 6, "  -2.5"},
};

TEST(FormatFixed, RoundsHalfUpAndPads) {
  for (const auto& c : kFixedCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(formatFixed(c.value, c.decimals, c.width), c.text);
  }
}

TEST(Random, SameSeedSameSequenceAndBoundsHeld) {
  Random a(42), b(42), other(43);
  bool differs = false;
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t x = a.below(52);
    EXPECT_EQ(x, b.below(52));
    EXPECT_LT(x, 52u);
    differs = differs || x != other.below(52);
  }
  EXPECT_TRUE(differs);
  Random one(7);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(one.below(1), 0u);
}

TEST(Random, DrawsEveryValueEvenly) {
  // 115975 partitions of a 10-element set: each index equally likely.
  Random r(2026);
  constexpr std::uint32_t kBound = 7;
  int counts[kBound] = {};
  constexpr int kDraws = 700000;
  for (int i = 0; i < kDraws; ++i) ++counts[r.below(kBound)];
  for (int c : counts) EXPECT_NEAR(c, kDraws / kBound, 600);  // ~ 4.5 standard deviations
}

}  // namespace
}  // namespace equ
