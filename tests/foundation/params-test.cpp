// params-test.cpp - parameters: defaults, integer reading, checks, options, help.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/usage/program-texts.hpp"
#include "frontend/params.hpp"
#include "support/fake-console.hpp"

namespace equ {
namespace {

void start(Program program, std::vector<std::string> args) {
  std::vector<const char*> argv{"prog"};
  for (const auto& a : args) argv.push_back(a.c_str());
  initParams(program, static_cast<int>(argv.size()), argv.data());
}

std::string stopMessage(void (*read)()) {
  try {
    read();
  } catch (const test::ErrorStop& e) {
    return e.what();
  } catch (const test::FatalReport& e) {
    return std::string("fatal: ") + e.what();
  }
  return "no stop";
}

TEST(Params, KspanDefaults) {
  test::ConsoleScope scope;
  start(Program::Kspan, {"p5.txt", "2"});
  EXPECT_EQ(readTestsAndDotStep(), 10);
  EXPECT_EQ(params().D, 4);
  EXPECT_EQ(params().commaStep, 400);
  EXPECT_EQ(readSubsetSize(), 4);
  readDetailLevel();
  EXPECT_EQ(params().V, 2);
  EXPECT_EQ(paramText(1), "p5.txt");
  EXPECT_TRUE(scope.con().output.empty());
}

struct ReadCase {
  std::vector<std::string> args;
  const char* expected;  // the value read, or the message of the stop
};

TEST(Params, DetailLevelReadsTwoCharacters) {
  const ReadCase cases[] = {
      {{"f", "12345"}, "12"},
      {{"f", " 3"}, "3"},
      {{"f", "3x"}, "\"3x\" is an invalid integer"},
      {{"f", "abc"}, "\"ab\" is an invalid integer"},
      {{"f"}, "\"\" is an invalid integer"},
      {{"f", ""}, "\"\" is an invalid integer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    test::ConsoleScope scope;
    start(Program::QuadspanScan, c.args);
    const std::string got = stopMessage([] {
      readDetailLevel();
      throw test::ErrorStop(std::to_string(params().V));
    });
    EXPECT_EQ(got, c.expected);
  }
}

TEST(Params, TestsDotStepAndSubsetSize) {
  const ReadCase cases[] = {
      {{"f", "1", "$10"}, "T=16 D=4 k=4"},
      {{"f", "1", "5", "0", "8"}, "T=5 D=0 k=8"},
      {{"f", "1", "5", "-3", "2"}, "T=5 D=-3 k=2"},
      {{"f", "1", "10 "}, "\"10 \" is an invalid integer"},
      {{"f", "1", "5", "21474837"}, "Arithmetic overflow"},
      {{"f", "1", "5", "4", "1"}, "fatal: Illegal value of whats4 = 1"},
      {{"f", "1", "5", "4", "9"}, "fatal: Illegal value of whats4 = 9"},
      {{"f", "1", "5", "4", "-2"}, "fatal: Illegal value of whats4 = -2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    test::ConsoleScope scope;
    start(Program::Kspan, c.args);
    const std::string got = stopMessage([] {
      readTestsAndDotStep();
      readSubsetSize();
      throw test::ErrorStop("T=" + std::to_string(params().T) + " D=" + std::to_string(params().D) +
                            " k=" + std::to_string(params().k));
    });
    EXPECT_EQ(got, c.expected);
  }
}

TEST(Params, StartIndexAgainstTableSize) {
  struct Case {
    std::vector<std::string> args;
    std::int32_t N;
    const char* expected;
  };
  const Case cases[] = {
      {{"f", "2"}, 52, "s=1 given=0"},
      {{"f", "2", "0"}, 52, "s=1 given=0"},
      {{"f", "2", "1"}, 52, "s=1 given=1"},
      {{"f", "2", "49"}, 52, "s=49 given=1"},
      {{"f", "2", "50"}, 52, "fatal: Illegal 3rd parameter (too large?)"},
      {{"f", "2", "-1"}, 52, "fatal: Illegal 3rd parameter (too large?)"},
      {{"f", "2", "1"}, 2, "fatal: Illegal 3rd parameter (too large?)"},
      {{"f", "2", "x"}, 52, "\"x\" is an invalid integer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    test::ConsoleScope scope;
    start(Program::QuadspanScan, c.args);
    std::string got;
    try {
      const std::int32_t s = readStartIndex(c.N);
      got = "s=" + std::to_string(s) + " given=" + std::to_string(startIndexGiven ? 1 : 0);
    } catch (const test::ErrorStop& e) {
      got = e.what();
    } catch (const test::FatalReport& e) {
      got = std::string("fatal: ") + e.what();
    }
    EXPECT_EQ(got, c.expected);
  }
}

TEST(Params, OptionsAreTakenOutBeforePositions) {
  test::ConsoleScope scope;
  start(Program::Kspan, {"--seed=7", "p5.txt", "2", "--threads=2", "100"});
  EXPECT_EQ(params().seed, 7u);
  EXPECT_EQ(params().threads, 2);
  EXPECT_EQ(paramText(1), "p5.txt");
  EXPECT_EQ(readTestsAndDotStep(), 100);
  start(Program::Kspan, {"p5.txt"});
  EXPECT_FALSE(params().seed.has_value());

  for (const char* bad : {"--seed=-1", "--seed=x", "--threads=0", "--colour=red", "--closure=quick"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(start(Program::Kspan, {bad}), test::FatalReport);
  }
  EXPECT_THROW(start(Program::QuadspanScan, {"--seed=1"}), test::FatalReport);
}

TEST(Params, HelpTextOnlyInKspan) {
  test::ConsoleScope scope;
  start(Program::Kspan, {});
  showHelp();
  EXPECT_EQ(scope.con().output, test::kHelpText);
  scope.con().output.clear();
  for (Program p : {Program::QuadspanRand, Program::QuadspanScan}) {
    start(p, {});
    showHelp();
  }
  EXPECT_EQ(scope.con().output, "");
}

}  // namespace
}  // namespace equ
