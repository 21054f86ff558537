// pty-harness.cpp - starting programs on a pseudo-terminal or on pipes, typing,
// waiting for output and for the exit.
#include "support/pty-harness.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <sstream>

extern char** environ;

namespace equ::test {
namespace {

using Clock = std::chrono::steady_clock;

// What the child needs, prepared before fork: after it only async-signal-safe calls.
struct ExecPlan {
  std::string path;
  std::vector<std::string> argStore, envStore;
  std::vector<char*> argv, envp;

  ExecPlan(const std::string& program, const std::vector<std::string>& args,
           const std::vector<std::pair<std::string, std::string>>& env) {
    path = programPath(program);
    argStore.push_back(path);
    argStore.insert(argStore.end(), args.begin(), args.end());
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      bool replaced = false;
      for (const auto& [key, value] : env) replaced = replaced || entry.rfind(key + "=", 0) == 0;
      if (!replaced) envStore.push_back(entry);
    }
    for (const auto& [key, value] : env) envStore.push_back(key + "=" + value);
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);
  }
};

// In the child: signals as a fresh login would have them, then the program.
[[noreturn]] void execChild(const ExecPlan& plan, const std::string& workDir) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGTSTP, SIGTTOU, SIGTTIN}) signal(sig, SIG_DFL);
  if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
  execve(plan.path.c_str(), plan.argv.data(), plan.envp.data());
  _exit(127);
}

std::string printable(const std::string& bytes) {
  std::string out;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

int countOf(const std::string& text, std::string_view what) {
  int count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

}  // namespace

std::string programPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  return std::string(EQUSPAN_BIN_DIR) + "/" + program;
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

// ---------------------------------------------------------------------------
// PtyProcess

PtyProcess::PtyProcess(const std::string& program, const std::vector<std::string>& args, const PtyOptions& options) {
  const ExecPlan plan(program, args, options.env);
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
    return;
  }
  const std::string slaveName = ptsname(master_);
  slave_ = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    ADD_FAILURE() << "cannot open " << slaveName << ": " << std::strerror(errno);
    return;
  }
  termios t{};
  tcgetattr(slave_, &t);
  t.c_oflag &= static_cast<tcflag_t>(~OPOST);
  if (!options.echo) t.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL));
  tcsetattr(slave_, TCSANOW, &t);
  tcgetattr(slave_, &initial_);
  winsize ws{};
  ws.ws_row = 24;
  ws.ws_col = 80;
  ioctl(slave_, TIOCSWINSZ, &ws);

  pid_ = fork();
  if (pid_ < 0) {
    ADD_FAILURE() << "fork failed: " << std::strerror(errno);
    return;
  }
  if (pid_ == 0) {
    setsid();
    const int tty = ::open(slaveName.c_str(), O_RDWR);  // becomes the controlling terminal
    if (tty < 0) _exit(125);
    ioctl(tty, TIOCSCTTY, 0);
    dup2(tty, 0);
    dup2(tty, 1);
    dup2(tty, 2);
    if (tty > 2) close(tty);
    execChild(plan, options.workDir);
  }
}

PtyProcess::~PtyProcess() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    int st = 0;
    while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
    }
  }
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

void PtyProcess::pump(std::chrono::milliseconds wait) {
  if (master_ < 0) return;
  pollfd pfd{master_, POLLIN, 0};
  if (poll(&pfd, 1, static_cast<int>(wait.count())) > 0 && (pfd.revents & POLLIN) != 0) {
    char buf[4096];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n > 0) transcript_.append(buf, static_cast<std::size_t>(n));
  }
  if (!exited_ && pid_ > 0) {
    int st = 0;
    if (waitpid(pid_, &st, WNOHANG) == pid_) {
      exited_ = true;
      rawStatus_ = st;
      status_ = statusOf(st);
    }
  }
}

void PtyProcess::send(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size() && master_ >= 0) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ADD_FAILURE() << "cannot type into the terminal: " << std::strerror(errno);
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

bool PtyProcess::expect(std::string_view text, std::chrono::milliseconds timeout) {
  return expectCount(text, 1, timeout);
}

bool PtyProcess::expectCount(std::string_view text, int count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  int quietAfterExit = 0;
  for (;;) {
    if (countOf(transcript_, text) >= count) return true;
    if (Clock::now() >= deadline || quietAfterExit > 5) break;
    const std::size_t before = transcript_.size();
    pump(20ms);
    if (exited_ && transcript_.size() == before) ++quietAfterExit;
  }
  ADD_FAILURE() << "expected " << count << " x \"" << printable(std::string(text)) << "\""
                << (exited_ ? " but the program ended" : " within the time limit") << "; transcript:\n"
                << printable(transcript_);
  return false;
}

int PtyProcess::waitExit(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!exited_ && Clock::now() < deadline && pid_ > 0) pump(20ms);
  if (!exited_) {
    ADD_FAILURE() << "the program did not end in time; transcript:\n" << printable(transcript_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      int st = 0;
      while (waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
      }
      exited_ = true;
      rawStatus_ = st;
      status_ = statusOf(st);
    }
    return -1;
  }
  // Bytes written just before the exit may still be on their way through the
  // terminal: read until the line has been quiet for a moment.
  for (std::size_t before = transcript_.size() + 1; before != transcript_.size();) {
    before = transcript_.size();
    pump(30ms);
  }
  return status_;
}

void PtyProcess::signal(int sig) {
  if (pid_ > 0 && !exited_) kill(pid_, sig);
}

const std::string& PtyProcess::transcript() {
  pump(0ms);
  return transcript_;
}

termios PtyProcess::settings() const {
  termios t{};
  if (slave_ >= 0) tcgetattr(slave_, &t);
  return t;
}

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
         a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

std::string describeSettings(const termios& t) {
  std::ostringstream s;
  s << std::hex << "iflag=" << t.c_iflag << " oflag=" << t.c_oflag << " cflag=" << t.c_cflag
    << " lflag=" << t.c_lflag << std::dec << " vmin=" << int{t.c_cc[VMIN]} << " vtime=" << int{t.c_cc[VTIME]};
  return s.str();
}

std::string maskClocks(std::string text) {
  static const std::regex clock("(Computation (starts|terminated) at )[0-9]+:[0-9]+:[0-9]+\\.[0-9]+");
  static const std::regex elapsed("(The computation & output took) *-?[0-9]+\\.[0-9]{3}( seconds\\.)");
  text = std::regex_replace(text, clock, "$1H:M:S.MS");
  return std::regex_replace(text, elapsed, "$1 <seconds>$2");
}

// ---------------------------------------------------------------------------
// Plain runs

PlainRun runPlain(const std::string& program, const std::vector<std::string>& args, const std::string* input,
                  const std::string& workDir, std::chrono::milliseconds timeout) {
  PlainRun run;
  // A program that ends without reading all its input must not kill the test.
  signal(SIGPIPE, SIG_IGN);
  const ExecPlan plan(program, args, {});
  int out[2] = {-1, -1}, in[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0 || (input != nullptr && pipe2(in, O_CLOEXEC) != 0)) {
    ADD_FAILURE() << "pipe failed: " << std::strerror(errno);
    return run;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int source = input != nullptr ? in[0] : ::open("/dev/null", O_RDONLY);
    if (source < 0) _exit(125);
    dup2(source, 0);
    dup2(out[1], 1);
    execChild(plan, workDir);
  }
  close(out[1]);
  if (input != nullptr) close(in[0]);
  if (pid < 0) {
    ADD_FAILURE() << "fork failed: " << std::strerror(errno);
    close(out[0]);
    if (input != nullptr) close(in[1]);
    return run;
  }
  // Feed standard input while reading the output, so neither side can block the other.
  std::size_t fed = 0;
  int feed = input != nullptr ? in[1] : -1;
  if (feed >= 0) fcntl(feed, F_SETFL, O_NONBLOCK);
  if (feed >= 0 && input->empty()) {
    close(feed);
    feed = -1;
  }
  const auto deadline = Clock::now() + timeout;
  bool outputOpen = true;
  while (outputOpen && Clock::now() < deadline) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {feed, POLLOUT, 0}};
    if (poll(fds, feed >= 0 ? 2 : 1, 50) <= 0) continue;
    if ((fds[0].revents & (POLLIN | POLLHUP)) != 0) {
      char buf[4096];
      const ssize_t n = read(out[0], buf, sizeof buf);
      if (n > 0) run.output.append(buf, static_cast<std::size_t>(n));
      if (n == 0) outputOpen = false;
    }
    if (feed >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      const ssize_t n = write(feed, input->data() + fed, input->size() - fed);
      if (n > 0) fed += static_cast<std::size_t>(n);
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || fed == input->size()) {
        close(feed);
        feed = -1;
      }
    }
  }
  if (feed >= 0) close(feed);
  close(out[0]);
  int st = 0;
  if (outputOpen) {
    kill(pid, SIGKILL);
    ADD_FAILURE() << programPath(program) << " did not end in time; output:\n" << printable(run.output);
  }
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  run.status = outputOpen ? -1 : statusOf(st);
  return run;
}

}  // namespace equ::test
