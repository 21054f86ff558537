// usage-test.cpp - one table of program runs without a terminal: parameters,
// console input and files in, exact console output and exit status out.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "apps/usage/program-texts.hpp"
#include "partgen/partgen.hpp"
#include "support/fake-console.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using namespace test;

const std::string kPrompt = "Enter the name of input file or enter \"help\" (without quotion marks): ";
const std::string kInputEnded = "No input file: the console input ended before a file name was given.";

// Part(3) less its last partition: the list reads, the table check refuses it.
std::string incompletePart3() {
  std::string text = partitionListText(3);
  for (int i = 0; i < 2; ++i) text.erase(text.rfind("\r\n", text.size() - 3) + 2);
  return text;
}

std::string opened(Program program, const std::string& name) {
  return setupText(program) + name + " has been opened.\r\n";
}

struct UsageCase {
  const char* name;
  Program program;
  std::vector<std::string> args;
  std::optional<std::string> input;  // console input; none: /dev/null
  int status;
  std::string output;       // the whole console output, or its start
  bool wholeOutput = true;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

std::vector<UsageCase> usageCases() {
  const Program K = Program::Kspan, R = Program::QuadspanRand, S = Program::QuadspanScan, V = Program::QuadspanSieve;
  return {
      // Parameter checks that come before anything is printed.
      {"SubsetSize9IsRefusedBeforeTheBanner", K, {"p3.txt", "1", "10", "4", "9"}, {}, 1,
       fatalText("Illegal value of whats4 = 9")},
      {"SubsetSize1IsRefusedBeforeTheBanner", K, {"p3.txt", "1", "10", "4", "1"}, {}, 1,
       fatalText("Illegal value of whats4 = 1")},
      {"TestsWithTrailingBlankStopWithoutWait", K, {"p3.txt", "1", "10 "}, "\n\n", 217,
       errorStopText("\"10 \" is an invalid integer")},
      {"UnknownOptionIsRefusedFirst", R, {"--bogus=1", "p3.txt", "1"}, {}, 1,
       "\a\r\nError in data; possibly/appeared at: \r\nBad option --bogus=1: ", false},
      // Without parameters the detail level is the empty text.
      {"KspanWithoutParameters", K, {}, {}, 217, setupText(K) + errorStopText("\"\" is an invalid integer")},
      {"QuadspanRandWithoutParameters", R, {}, {}, 217, setupText(R) + errorStopText("\"\" is an invalid integer")},
      {"QuadspanScanWithoutParameters", S, {}, {}, 217, setupText(S) + errorStopText("\"\" is an invalid integer")},
      {"QuadspanSieveWithoutParameters", V, {}, {}, 1,
       bannerLine(V) + "\r\n" + fatalText("No .txt  file was found as f")},
      // The input file prompt.
      {"MissingInputWithConsoleInputEnded", K, {"missing.txt", "1"}, {}, 1,
       setupText(K) + kPrompt + fatalText(kInputEnded)},
      {"PromptGivesHelpAndRefusesMissingNames", K, {"missing.txt", "1"}, "\nhelp\nnope.txt\n\n", 1,
       setupText(K) + kPrompt + kHelpText + kPrompt + "This file does not exist!\a\r\n" + kPrompt + kPrompt +
           fatalText(kInputEnded)},
      {"PromptTakesATypedName", S, {"", "1"}, "p3.txt\n", 0, setupText(S) + kPrompt + "p3.txt has been opened.\r\n",
       false},
      // Files the programs refuse.
      {"EmptyInputFile", R, {"empty.txt", "1"}, {}, 1,
       opened(R, "empty.txt") + fatalText("Error: empty file is not allowed.")},
      {"BadTokenInListFile", K, {"badtoken.txt", "1"}, {}, 1,
       opened(K, "badtoken.txt") + fatalText("(CodezeBn!y): unexpected character in input line")},
      {"ListFileEndsAfterPartitionLine", R, {"cut.txt", "1"}, {}, 1,
       opened(R, "cut.txt") + fatalText("(CodejZtX): the file should not end here")},
      {"IncompleteTableIsRefused", K, {"incomplete.txt", "1"}, {}, 1,
       opened(K, "incomplete.txt") + "\r\n" +
           fatalText("The partition list cannot be used: it holds 4 partitions, but a set of 3 elements has 5.")},
      // Normal short runs.
      {"KspanShortRun", K, {"p3.txt", "1", "5"}, {}, 0, opened(K, "p3.txt") + "\r\n" + bannerLine(K) + "\r\n", false},
      {"QuadspanRandShortRun", R, {"p3.txt", "2", "5"}, {}, 0, opened(R, "p3.txt") + "\r\n" + bannerLine(R) + "\r\n",
       false},
      {"QuadspanScanShortRun", S, {"p3.txt", "1"}, {}, 0, opened(S, "p3.txt"), false},
  };
}

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, OutputAndExitStatus) {
  const UsageCase& c = GetParam();
  TempDir dir;
  const std::string part3 = partitionListText(3);
  dir.write("p3.txt", part3);
  dir.write("empty.txt", "");
  std::string badToken = part3;
  badToken.replace(badToken.find("1 2 0 3 0 -1"), 12, "1 2 0 x 0 -1");
  dir.write("badtoken.txt", badToken);
  dir.write("cut.txt", part3.substr(0, part3.rfind("#")));
  dir.write("incomplete.txt", incompletePart3());

  const PlainRun run = runPlain(programName(c.program), c.args, c.input ? &*c.input : nullptr, dir.path());
  EXPECT_EQ(run.status, c.status);
  if (c.wholeOutput) {
    EXPECT_EQ(run.output, c.output);
  } else {
    EXPECT_EQ(run.output.substr(0, c.output.size()), c.output);
  }
  if (c.status == 0) {
    EXPECT_EQ(run.output.substr(run.output.size() - 2), "\r\n");
    EXPECT_NE(run.output.find("Thank you for using this program."), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, Usage, testing::ValuesIn(usageCases()),
                         [](const testing::TestParamInfo<UsageCase>& caseInfo) { return caseInfo.param.name; });

TEST(Usage, BannersStartWithTheirFixedTexts) {
  EXPECT_EQ(bannerLine(Program::Kspan).rfind("\"kspan\" ver. April 18 on k-generation of Equ(n); ", 0), 0u);
  EXPECT_EQ(bannerLine(Program::QuadspanRand).rfind("\"quadspan\" ver. April 16 on 4-generation of Equ(n); ", 0), 0u);
  EXPECT_EQ(bannerLine(Program::QuadspanScan).rfind("\"quadspan\" ver. April 14 on 4-generation of Equ(n); ", 0), 0u);
  EXPECT_EQ(bannerLine(Program::QuadspanSieve), bannerLine(Program::QuadspanScan));
}


// A process that has not ended (a zombie has).
bool isWaiting(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  const std::size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}

// On a terminal: the error stop ends at once, the fatal report only after Enter.
TEST(Usage, ErrorStopDoesNotWaitButTheFatalReportDoes) {
  TempDir dir;
  dir.write("p3.txt", partitionListText(3));
  PtyOptions options;
  options.workDir = dir.path();
  {
    PtyProcess stop("kspan", {"p3.txt", "1", "10 "}, options);
    EXPECT_EQ(stop.waitExit(5s), 217);
    EXPECT_EQ(stop.transcript(), errorStopText("\"10 \" is an invalid integer"));
  }
  PtyProcess fatal("kspan", {"p3.txt", "1", "10", "4", "9"}, options);
  ASSERT_TRUE(fatal.expect("  Press <enter> to quit\r\n"));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(fatal.transcript(), fatalText("Illegal value of whats4 = 9"));
  EXPECT_TRUE(isWaiting(fatal.pid())) << "the report waits for Enter";
  fatal.send("\r");
  EXPECT_EQ(fatal.waitExit(), 1);
}

}  // namespace
}  // namespace equ
