// pty-harness.hpp - runs a built program on a pseudo-terminal (or with plain pipes)
// and hands back exactly the bytes it wrote, for whole-transcript comparisons.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace equ::test {

using namespace std::chrono_literals;

// A program given by a bare name is looked for among the built programs
// (EQUSPAN_BIN_DIR); a name with a "/" is used as it stands.
std::string programPath(const std::string& program);

// Exit status as a shell reports it: the code of a normal exit, 128 + the
// signal number for a process ended by a signal.
int statusOf(int waitStatus);

struct PtyOptions {
  std::string workDir;                                   // empty: the test's own
  bool echo = false;                                     // the terminal's echo of typed input
  std::vector<std::pair<std::string, std::string>> env;  // added to the environment
};

// One program on a fresh pseudo-terminal, as its controlling terminal and
// standard input, output and error. Output processing is off and, by
// default, so is echo: the transcript holds the program's bytes and nothing
// else, CR LF exactly as written.
class PtyProcess {
 public:
  PtyProcess(const std::string& program, const std::vector<std::string>& args, const PtyOptions& options = {});
  PtyProcess(const PtyProcess&) = delete;
  PtyProcess& operator=(const PtyProcess&) = delete;
  ~PtyProcess();  // kills the program if it still runs

  // Types bytes: "p5.txt\r", Enter "\r", Alt+R "\x1br", Ctrl+C "\x03", F1 "\x1bOP".
  void send(std::string_view bytes);
  // Waits until the output so far contains text; on timeout the test fails
  // with the transcript shown, and the result is false.
  bool expect(std::string_view text, std::chrono::milliseconds timeout = 5s);
  // Waits until text occurs count times in the output.
  bool expectCount(std::string_view text, int count, std::chrono::milliseconds timeout = 5s);
  // Waits for the end of the program and returns its status (statusOf); on
  // timeout the program is killed, the test fails and the result is -1.
  int waitExit(std::chrono::milliseconds timeout = 10s);
  // Sends a signal to the program (not through the terminal).
  void signal(int sig);

  // Everything the program has written so far.
  const std::string& transcript();
  // The terminal's settings now, and as they were when the program started.
  termios settings() const;
  const termios& initialSettings() const { return initial_; }
  pid_t pid() const { return pid_; }
  // The status as waitpid gave it, to tell an exit with 130 from a death by SIGINT.
  int rawWaitStatus() const { return rawStatus_; }

 private:
  void pump(std::chrono::milliseconds wait);

  int master_ = -1;
  int slave_ = -1;  // kept open so the settings can be read after the exit
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
  int rawStatus_ = 0;
  termios initial_{};
  std::string transcript_;
};

// The settings a program may change and must give back: the flag words,
// VMIN and VTIME.
bool sameSettings(const termios& a, const termios& b);
std::string describeSettings(const termios& t);

// Replaces clock values by fixed placeholders: the time after "Computation
// starts at " and "Computation terminated at " becomes "H:M:S.MS", and the
// figure of the elapsed-time line becomes "<seconds>" (its padding included).
std::string maskClocks(std::string text);

// A run without a terminal: standard input from a text (or /dev/null), output
// captured; standard error passes through to the test's.
struct PlainRun {
  int status = -1;  // statusOf
  std::string output;
};
PlainRun runPlain(const std::string& program, const std::vector<std::string>& args, const std::string* input,
                  const std::string& workDir = {}, std::chrono::milliseconds timeout = 20s);

}  // namespace equ::test
