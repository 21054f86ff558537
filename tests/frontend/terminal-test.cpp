// terminal-test.cpp - the real console on a pseudo-terminal and on pipes: key
// presses in key mode, line reads, and the terminal given back on every way out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <string>

#include "partcore/exit-status.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using test::PtyProcess;
using namespace std::chrono_literals;

const std::string kProbe = KEY_PROBE;

void expectSettingsGivenBack(PtyProcess& p) {
  EXPECT_TRUE(test::sameSettings(p.settings(), p.initialSettings()))
      << "now    " << test::describeSettings(p.settings()) << "\nbefore " << test::describeSettings(p.initialSettings());
}

TEST(Terminal, EveryKeyPressIsOneKeyAndOnlyAltRIsTheStopKey) {
  PtyProcess p(kProbe, {"keys", "9", "normal"});
  ASSERT_TRUE(p.expect("ready\r\n"));
  const termios keyMode = p.settings();
  EXPECT_EQ(keyMode.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_NE(keyMode.c_lflag & ISIG, 0u) << "Ctrl+C must still interrupt";
  // R, Ctrl+R, F1 (xterm and Linux console forms), an arrow, Enter, a UTF-8 letter,
  // then Alt+R: typed at once, they still come out one key per poll.
  p.send(std::string("R\x12\x1bOP\x1b[[A\x1b[1;5A\r\xc3\xa9") + "\x1br");
  ASSERT_TRUE(p.expect("AltR\r\n"));
  // A lone ESC is one key press too once nothing follows it.
  p.send("\x1b");
  ASSERT_TRUE(p.expect("line mode\r\n"));
  p.send("typed after the run\r");
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(p.transcript(), std::string("ready\r\n") + "Other\r\nOther\r\nOther\r\nOther\r\nOther\r\nOther\r\nOther\r\n" +
                                "AltR\r\nOther\r\nline mode\r\nline: typed after the run\r\n");
  expectSettingsGivenBack(p);
}

TEST(Terminal, KeysOfLaterPressesWaitForTheNextPollOrLineRead) {
  PtyProcess p(kProbe, {"keys", "1", "normal"});
  ASSERT_TRUE(p.expect("ready\r\n"));
  p.send("\x1bRabc\r");  // Alt+R, then a line typed ahead
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(p.transcript(), "ready\r\nAltR\r\nline mode\r\nline: abc\r\n");
  expectSettingsGivenBack(p);
}

TEST(Terminal, ScanWithoutStartIndexLeavesTypedKeysForTheClosingWaits) {
  PtyProcess p(kProbe, {"scan"});
  ASSERT_TRUE(p.expect("ready\r\n"));
  // Alt+R has no effect here; with the Enter after it, it makes up the first closing line.
  p.send("\x1bR");
  p.send("\r");
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(p.transcript(), "ready\r\nline mode\r\nline: \x1bR\r\n");
  expectSettingsGivenBack(p);
}

struct ExitPath {
  const char* what;
  std::vector<std::string> args;
  // Typed one after another; each but the last is answered by output that
  // ends with the text beside it before the next is typed.
  std::vector<std::pair<std::string, std::string>> typing;
  int status;
  bool killedBySignal;
  const char* lastWords;
};

TEST(Terminal, SettingsAreGivenBackOnEveryWayOut) {
  const ExitPath paths[] = {
      {"normal end", {"keys", "1", "normal"}, {{"\x1br", "line mode\r\n"}, {"\r", ""}}, 0, false, "line: \r\n"},
      {"exit without leaving the run", {"keys", "1", "exit"}, {{"\x1br", ""}}, 0, false, "AltR\r\n"},
      {"fatal report", {"keys", "1", "fatal"}, {{"\x1br", "quit\r\n"}, {"\r", ""}}, kExitFatal, false,
       "  Press <enter> to quit\r\n"},
      {"error stop", {"keys", "1", "errorstop"}, {{"\x1br", ""}}, kExitPlatformError, false, "probe stops\r\n"},
      {"Ctrl+C asks for a stop", {"stop", "normal"}, {{"\x03", "line mode\r\n"}, {"\r", ""}}, 0, false,
       "line: \r\n"},
      {"second Ctrl+C ends at once", {"spin"}, {{"\x03", "stopped\r\n"}, {"\x03", ""}}, kExitInterrupted, false,
       "stopped\r\n"},
      {"Ctrl+C at the fatal report's wait", {"keys", "1", "fatal"}, {{"\x1br", "quit\r\n"}, {"\x03", ""}},
       128 + SIGINT, true, "  Press <enter> to quit\r\n"},
      {"Ctrl+C at a wait after the run", {"stop", "normal"}, {{"\x1br", "line mode\r\n"}, {"\x03", ""}},
       128 + SIGINT, true, "line mode\r\n"},
  };
  for (const ExitPath& path : paths) {
    SCOPED_TRACE(path.what);
    PtyProcess p(kProbe, path.args);
    ASSERT_TRUE(p.expect("ready\r\n"));
    for (const auto& [keys, answer] : path.typing) {
      p.send(keys);
      if (!answer.empty()) {
        ASSERT_TRUE(p.expect(answer));
      }
    }
    EXPECT_EQ(p.waitExit(), path.status);
    EXPECT_EQ(WIFSIGNALED(p.rawWaitStatus()), path.killedBySignal);
    EXPECT_TRUE(p.transcript().ends_with(path.lastWords)) << p.transcript();
    expectSettingsGivenBack(p);
  }
}

TEST(Terminal, SigtermDuringARunRequestsAnOrderlyStop) {
  PtyProcess p(kProbe, {"stop", "normal"});
  ASSERT_TRUE(p.expect("ready\r\n"));
  p.signal(SIGTERM);
  ASSERT_TRUE(p.expect("line mode\r\n"));
  p.send("\r");
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(p.transcript(), "ready\r\n Entering into stop mode ..., please wait\r\nstopped\r\nline mode\r\nline: \r\n");
  expectSettingsGivenBack(p);
}

TEST(Terminal, PollingCostsNanosecondsWhenNothingWaits) {
  PtyProcess p(kProbe, {"speed"});
  ASSERT_TRUE(p.expect("line mode\r\n", 20s));
  p.send("\r");
  EXPECT_EQ(p.waitExit(), 0);
  const std::string& out = p.transcript();
  const auto at = out.find("ns per poll: ");
  ASSERT_NE(at, std::string::npos) << out;
  // A system call per poll would cost hundreds of nanoseconds.
  EXPECT_LT(std::stoi(out.substr(at + 13)), 100) << out;
  EXPECT_NE(out.find(", keys: 0\r\n"), std::string::npos) << out;
}

TEST(PlainInput, NoKeyIsFoundAndTypedLinesStayForTheLineReads) {
  const std::string input = "typed ahead\r\nnext\r\n";
  const test::PlainRun run = test::runPlain(kProbe, {"quiet"}, &input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "keys found: 0\r\nline mode\r\nline: typed ahead\r\n");
}

TEST(PlainInput, LinesEndAtLfCrOrCrLfAndKeep255Characters) {
  const std::string input = "a\nb\r\nc\rd\r\r\n" + std::string(300, 'x') + "\nlast";
  const test::PlainRun run = test::runPlain(kProbe, {"lines"}, &input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "[a]\r\n[b]\r\n[c]\r\n[d]\r\n[]\r\n[" + std::string(255, 'x') + "]\r\n[last]\r\nend\r\n");
  const test::PlainRun none = test::runPlain(kProbe, {"lines"}, nullptr);
  EXPECT_EQ(none.output, "end\r\n");
}

TEST(Harness, MaskClocksHidesOnlyClockValues) {
  const std::string text =
      "Computation starts at 9:5:7.42   equspan.\r\n"
      "Computation terminated at 23:59:59.999   equspan.\r\n"
      "The computation & output took           0.200 seconds.\r\n"
      "The computation & output took      123456.789 seconds.\r\n"
      "12:30:00.5 stays\r\n";
  EXPECT_EQ(test::maskClocks(text),
            "Computation starts at H:M:S.MS   equspan.\r\n"
            "Computation terminated at H:M:S.MS   equspan.\r\n"
            "The computation & output took <seconds> seconds.\r\n"
            "The computation & output took <seconds> seconds.\r\n"
            "12:30:00.5 stays\r\n");
}

}  // namespace
}  // namespace equ
