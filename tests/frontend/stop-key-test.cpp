// stop-key-test.cpp - the stop poll with scripted keys and raised signals, and the progress dots.
#include "frontend/stop-key.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>

#include "frontend/params.hpp"
#include "support/fake-console.hpp"

namespace equ {
namespace {

using test::ConsoleScope;

const std::string kNotice = " Entering into stop mode ..., please wait\r\n";

struct DotCase {
  std::int32_t D;
  std::int64_t tests;
  int dots;
  std::string_view tail;  // the output's end
};

TEST(ProgressDots, OneDotPerStepAndALineEndPer64Dots) {
  const DotCase cases[] = {
      {4, 300, 75, ".........."},     // line end after the 64th dot, 11 dots after it
      {-4, 300, 75, ".........."},    // a negative step acts as its absolute value
      {4, 256, 64, "....\r\n"},
      {0, 300, 0, ""},                // no division by zero: nothing at all
  };
  for (const DotCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "D=" << c.D << " T=" << c.tests);
    ConsoleScope scope;
    for (std::int64_t t = 1; t <= c.tests; ++t) progressDots(t, c.D);
    const std::string& out = scope.con().output;
    EXPECT_EQ(std::count(out.begin(), out.end(), '.'), c.dots);
    EXPECT_TRUE(out.ends_with(c.tail)) << out;
    if (c.dots == 75) {
      EXPECT_EQ(out, std::string(64, '.') + "\r\n" + std::string(11, '.'));
    }
  }
}

TEST(ProgressDots, SmallestStepDoesNotOverflow) {
  ConsoleScope scope;
  const std::int64_t step = -std::int64_t{INT32_MIN};
  progressDots(step, INT32_MIN);
  progressDots(64 * step, INT32_MIN);
  EXPECT_EQ(scope.con().output, "..\r\n");
}

class StopKey : public testing::Test {
 protected:
  void SetUp() override {
    params().program = Program::Kspan;
    startIndexGiven = false;
    stopRequested = false;
  }
  ConsoleScope scope;
};

TEST_F(StopKey, AltRWritesTheNoticeAndOtherKeysAreConsumedQuietly) {
  scope.con().keys = {Key::Other, Key::None, Key::AltR, Key::Other, Key::AltR};
  pollStopKey();
  pollStopKey();
  EXPECT_FALSE(stopRequested);
  EXPECT_EQ(scope.con().output, "");
  pollStopKey();
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(scope.con().output, kNotice);
  pollStopKey();  // an ordinary key changes nothing
  pollStopKey();  // a second Alt+R writes the notice again
  EXPECT_EQ(scope.con().output, kNotice + kNotice);
  EXPECT_TRUE(scope.con().keys.empty()) << "one key per poll";
}

TEST_F(StopKey, NoticeContinuesALineOfDots) {
  for (int t = 1; t <= 12; ++t) progressDots(t, 4);
  scope.con().keys = {Key::AltR};
  pollStopKey();
  EXPECT_EQ(scope.con().output, "..." + kNotice);
}

TEST_F(StopKey, ScanLooksAtTheKeyOnlyWithAStartIndex) {
  params().program = Program::QuadspanScan;
  scope.con().keys = {Key::AltR, Key::Other};
  pollStopKey();
  EXPECT_FALSE(stopRequested);
  EXPECT_EQ(scope.con().keys.size(), 2u) << "keys stay queued for the closing waits";
  startIndexGiven = true;
  pollStopKey();
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(scope.con().output, kNotice);
}

TEST_F(StopKey, SignalDuringARunRequestsTheSameStopOncePerSignal) {
  params().program = Program::QuadspanScan;  // a signal counts even without a start index
  // Whoever started the tests may have left these ignored; a run keeps an ignored signal ignored.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  beginRunKeys();
  std::raise(SIGTERM);
  std::raise(SIGINT);  // the first Ctrl+C: an orderly stop, not the end
  pollStopKey();
  EXPECT_TRUE(stopRequested);
  pollStopKey();
  pollStopKey();
  endRunKeys();
  EXPECT_EQ(scope.con().output, kNotice + kNotice);
  EXPECT_EQ(scope.con().keyModeDepth, 0);
  // Outside the run both signals have their ordinary effect again.
  for (int sig : {SIGINT, SIGTERM}) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
  }
}

}  // namespace
}  // namespace equ
