// run-clock-test.cpp - clock texts, the start, end and elapsed-time lines, and the closing sequence.
#include "frontend/run-clock.hpp"

#include <gtest/gtest.h>

#include "frontend/params.hpp"
#include "frontend/setup.hpp"
#include "support/fake-console.hpp"

namespace equ {
namespace {

using test::ConsoleScope;
using test::TempDir;

RunClock at(std::uint16_t h, std::uint16_t m, std::uint16_t s, std::uint16_t ms, std::int64_t mono = 0) {
  RunClock c;
  c.hour = h;
  c.minute = m;
  c.second = s;
  c.millisecond = ms;
  c.monotonicMs = mono;
  return c;
}

TEST(RunClock, TextHasNoPaddingAnywhere) {
  const std::pair<RunClock, std::string> cases[] = {
      {at(9, 5, 7, 42), "9:5:7.42"},
      {at(14, 30, 0, 5), "14:30:0.5"},
      {at(0, 0, 0, 0), "0:0:0.0"},
      {at(23, 59, 59, 999), "23:59:59.999"},
  };
  for (const auto& [clock, text] : cases) EXPECT_EQ(runClockText(clock), text);
}

TEST(RunClock, ReadingGivesATimeOfDayAndAMonotonicStamp) {
  const RunClock a = readRunClock();
  const RunClock b = readRunClock();
  EXPECT_LE(a.hour, 23);
  EXPECT_LE(a.millisecond, 999);
  EXPECT_GE(elapsedSeconds(a, b), 0.0);
}

TEST(RunClock, StartAndEndLinesGoToConsoleWithFullStopAndToFileWithout) {
  ConsoleScope scope;
  TempDir dir;
  ASSERT_TRUE(runFiles().output.createExclusive(dir.file("out.txt")));
  writeStartLine(at(9, 5, 7, 42));
  writeEndLine(at(14, 30, 0, 5));
  runFiles().output.close();
  // The words after the time are those that end the banner line.
  const std::string banner = bannerLine(Program::Kspan);
  const std::string notice = "   " + banner.substr(banner.find("; ") + 2);
  EXPECT_EQ(scope.con().output, "Computation starts at 9:5:7.42" + notice + ".\r\n" +
                                    "Computation terminated at 14:30:0.5" + notice + ".\r\n");
  EXPECT_EQ(dir.read("out.txt"), "Computation starts at 9:5:7.42" + notice + "\r\n" +
                                     "Computation terminated at 14:30:0.5" + notice + "\r\n");
}

TEST(RunClock, ElapsedTimeIsTrueAcrossMidnightAndLinesUseAFieldOf15) {
  struct Case {
    RunClock start, end;
    const char* line;
  };
  const Case cases[] = {
      {at(10, 59, 59, 900, 5000), at(11, 0, 0, 100, 5200),
       "The computation & output took           0.200 seconds.\r\n"},
      {at(8, 0, 0, 1, 77), at(8, 0, 0, 1, 77), "The computation & output took           0.000 seconds.\r\n"},
      // 23:59:59.900 to 0:00:00.100: the time of day alone would say almost minus a day.
      {at(23, 59, 59, 900, 86399900), at(0, 0, 0, 100, 86400100),
       "The computation & output took           0.200 seconds.\r\n"},
      {at(0, 0, 0, 0, 0), at(10, 17, 36, 789, 123456789),
       "The computation & output took      123456.789 seconds.\r\n"},
  };
  for (const Case& c : cases) {
    ConsoleScope scope;
    writeElapsedLine(scope.con(), elapsedSeconds(c.start, c.end));
    EXPECT_EQ(scope.con().output, c.line);
  }
  ConsoleScope scope;
  writeElapsedLine(scope.con(), 3.14159);
  EXPECT_EQ(scope.con().output, "The computation & output took           3.142 seconds.\r\n");
}

TEST(FinishRun, ThanksClosesBothFilesAndReadsTwoLines) {
  for (const bool indented : {false, true}) {
    ConsoleScope scope;
    TempDir dir;
    dir.write("in.txt", "x\r\n");
    ASSERT_TRUE(runFiles().input.open(dir.file("in.txt")));
    ASSERT_TRUE(runFiles().output.createExclusive(dir.file("out.txt")));
    runFiles().output.line("kept");
    scope.con().lines = {"first", "", "left for later"};
    scope.con().enterKeyMode();
    finishRun(indented);
    EXPECT_EQ(scope.con().output, std::string(indented ? 8 : 0, ' ') +
                                      "Thank you for using this program.   Hit <enter> twice to abandon!\r\n");
    EXPECT_FALSE(runFiles().input.isOpen());
    EXPECT_FALSE(runFiles().output.isOpen());
    EXPECT_EQ(dir.read("out.txt"), "kept\r\n");
    EXPECT_EQ(scope.con().linesRead, 2);
    EXPECT_EQ(scope.con().keyModeDepth, 0) << "the waits are line reads";
  }
}

TEST(FinishRun, EndedConsoleInputCountsAsEnter) {
  ConsoleScope scope;
  finishRun(false);  // must return, not wait for ever
  EXPECT_EQ(scope.con().linesRead, 0);
}

}  // namespace
}  // namespace equ
