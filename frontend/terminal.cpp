// terminal.cpp - the console on standard input and output: line reads, direct
// writes, and a single-key mode for runs whose polls never wait and cost nanoseconds.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "frontend/platform.hpp"

namespace equ {

// Read by the stop-signal handlers (stop-key.cpp): from the moment key mode is
// left (the fatal report leaves it before it writes) until a line read is over,
// the program waits for the user and Ctrl+C keeps its ordinary meaning.
volatile std::sig_atomic_t gAwaitingLine = 0;

namespace {

// The settings found at the first switch into key mode, and whether key mode
// is on now. Both are touched from signal handlers, hence the plain types.
termios gSavedSettings{};
volatile std::sig_atomic_t gSettingsSaved = 0;
volatile std::sig_atomic_t gKeyModeOn = 0;

constexpr unsigned char kEsc = 0x1b;

std::int64_t monotonicNanos() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Length of the key press that starts at p (n bytes available), or 0 when the
// bytes so far may still continue (an escape sequence or a UTF-8 character
// cut off by the end of what has arrived).
std::size_t keyLength(const unsigned char* p, std::size_t n) {
  const unsigned char c = p[0];
  if (c == kEsc) {
    if (n < 2) return 0;
    const unsigned char c1 = p[1];
    if (c1 == '[') {
      // The Linux console sends F1..F5 as ESC [ [ letter.
      if (n > 2 && p[2] == '[') return n >= 4 ? 4 : 0;
      // CSI: parameter and intermediate bytes, then one final byte.
      for (std::size_t i = 2; i < n; ++i) {
        if (p[i] >= 0x40 && p[i] <= 0x7e) return i + 1;
        if (p[i] < 0x20 || p[i] > 0x3f) return i;  // malformed: end it here
      }
      return 0;
    }
    if (c1 == 'O') return n >= 3 ? 3 : 0;  // SS3: F1..F4 and keypad keys
    if (c1 == kEsc) {
      // Alt with a key that itself sends a sequence (Alt+arrow on some terminals).
      const std::size_t rest = keyLength(p + 1, n - 1);
      return rest == 0 ? 0 : rest + 1;
    }
    return 2;  // Alt + one character, Alt+R among them
  }
  // One UTF-8 character is one key press.
  std::size_t len = 1;
  if (c >= 0xc0 && c < 0xe0) len = 2;
  else if (c >= 0xe0 && c < 0xf0) len = 3;
  else if (c >= 0xf0 && c < 0xf8) len = 4;
  for (std::size_t i = 1; i < len; ++i) {
    if (i >= n) return 0;
    if ((p[i] & 0xc0) != 0x80) return i;
  }
  return len;
}

class TerminalConsole final : public Console {
 public:
  void write(std::string_view text) override {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        errorStop(ioErrorMessage(errno));
      }
      done += static_cast<std::size_t>(n);
    }
  }

  bool readLine(std::string& text) override {
    leaveKeyMode();  // a line is typed with echo and editing
    text.clear();
    bool any = false;
    for (;;) {
      const int c = next();
      if (c < 0) break;
      if (skipLineFeed_) {
        skipLineFeed_ = false;
        if (c == '\n') continue;
      }
      any = true;
      if (c == '\n') break;
      if (c == '\r') {
        // A LF right after this CR belongs to the same line end; look for it
        // only at the next read, so that a lone CR never waits for more input.
        skipLineFeed_ = true;
        break;
      }
      if (text.size() < kMaxLine) text.push_back(static_cast<char>(c));
    }
    gAwaitingLine = 0;
    return any;
  }

  // Cheap when nothing waits: a countdown, and a look at the clock now and then.
  // The real query happens at most every 2 ms however fast the caller loops.
  Key pollKey() override {
    if (!gKeyModeOn) return Key::None;
    if (ready_ == 0) {
      if (--countdown_ > 0) return Key::None;
      if (!queryDue()) return Key::None;
      query();
      if (ready_ == 0) return Key::None;
    }
    return takeKey();
  }

  void enterKeyMode() override {
    gAwaitingLine = 0;
    if (!isTerminal() || gKeyModeOn) return;
    if (!gSettingsSaved) {
      if (tcgetattr(STDIN_FILENO, &gSavedSettings) != 0) return;
      gSettingsSaved = 1;
      std::atexit(restoreTerminal);
    }
    termios keys = gSavedSettings;
    // Signals stay: Ctrl+C still interrupts. VMIN = VTIME = 0: a read never waits.
    keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keys.c_cc[VMIN] = 0;
    keys.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &keys) != 0) return;
    gKeyModeOn = 1;
    countdown_ = 1;
    stride_ = 1;
    lastQuery_ = 0;
    ready_ = pos_ < len_ ? keyLength(buf_ + pos_, len_ - pos_) : 0;
  }

  void leaveKeyMode() override {
    gAwaitingLine = 1;
    if (!gKeyModeOn) return;
    // An escape sequence still cut off was a key press made in key mode; it
    // must not turn into characters of the next line read.
    if (pos_ < len_ && ready_ == 0) pos_ = len_ = 0;
    ready_ = 0;
    restoreTerminal();
  }

 private:
  bool isTerminal() {
    if (terminalKnown_ == 0) terminalKnown_ = ::isatty(STDIN_FILENO) ? 1 : -1;
    return terminalKnown_ > 0;
  }

  // Adapts how many calls pass between two looks at the clock, so that a fast
  // loop reads the clock about every 0.2 to 1 ms and a slow one on every call.
  bool queryDue() {
    const std::int64_t now = monotonicNanos();
    const std::int64_t gap = now - lastCheck_;
    lastCheck_ = now;
    if (gap < 200000 && stride_ < 65536) stride_ *= 2;
    else if (gap > 1000000 && stride_ > 1) stride_ /= 2;
    countdown_ = stride_;
    if (now - lastQuery_ < 2000000) return false;
    lastQuery_ = now;
    return true;
  }

  // One non-blocking look at standard input; appends what has arrived.
  void query() {
    if (pos_ == len_) pos_ = len_ = 0;
    if (pos_ > 0) {
      std::memmove(buf_, buf_ + pos_, len_ - pos_);
      len_ -= pos_;
      pos_ = 0;
    }
    bool got = false;
    pollfd pfd{STDIN_FILENO, POLLIN, 0};
    if (len_ < sizeof buf_ && ::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLIN) != 0) {
      const ssize_t n = ::read(STDIN_FILENO, buf_ + len_, sizeof buf_ - len_);
      if (n < 0 && errno != EINTR && errno != EAGAIN) errorStop(ioErrorMessage(errno));
      if (n > 0) {
        len_ += static_cast<std::size_t>(n);
        got = true;
      }
    }
    if (pos_ == len_) return;
    ready_ = keyLength(buf_ + pos_, len_ - pos_);
    // A sequence still cut off after a whole query interval with nothing new
    // is not going to continue: a lone ESC, or a terminal's odd sequence.
    if (ready_ == 0 && !got) ready_ = len_ - pos_;
  }

  Key takeKey() {
    const unsigned char* p = buf_ + pos_;
    const std::size_t n = ready_;
    pos_ += n;
    ready_ = pos_ < len_ ? keyLength(buf_ + pos_, len_ - pos_) : 0;
    if (skipLineFeed_) {
      // The LF of a CR LF that ended the last line read is no key press.
      skipLineFeed_ = false;
      if (n == 1 && p[0] == '\n') return Key::None;
    }
    if (n == 2 && p[0] == kEsc && (p[1] == 'r' || p[1] == 'R')) return Key::AltR;
    return Key::Other;
  }

  int next() {
    if (pos_ == len_) {
      pos_ = len_ = 0;
      for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buf_, sizeof buf_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        len_ = static_cast<std::size_t>(n);
        break;
      }
    }
    return buf_[pos_++];
  }

  // Standard input as it arrived; line reads and key polls share it, so bytes
  // of a key press a poll has not taken yet reach the next line read.
  unsigned char buf_[4096];
  std::size_t pos_ = 0, len_ = 0;
  std::size_t ready_ = 0;  // length of the complete key press at pos_, 0 if none
  bool skipLineFeed_ = false;
  int terminalKnown_ = 0;
  std::int64_t countdown_ = 1, stride_ = 1;
  std::int64_t lastCheck_ = 0, lastQuery_ = 0;
};

TerminalConsole gTerminal;
Console* gConsole = &gTerminal;

}  // namespace

Console& console() { return *gConsole; }

void setConsole(Console* replacement) { gConsole = replacement != nullptr ? replacement : &gTerminal; }

void restoreTerminal() {
  // Only async-signal-safe calls: the stop handlers and the error stop use this.
  if (gKeyModeOn && gSettingsSaved) {
    gKeyModeOn = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &gSavedSettings);
  }
}

}  // namespace equ
