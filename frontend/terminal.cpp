// terminal.cpp - the console on standard input and output.
// First version: line input and output only; the key poll finds no key.
#include <unistd.h>

#include <cerrno>

#include "frontend/platform.hpp"

namespace equ {
namespace {

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
    text.clear();
    bool any = false;
    for (;;) {
      int c = next();
      if (c < 0) return any;
      if (skipLineFeed_) {
        skipLineFeed_ = false;
        if (c == '\n') continue;
      }
      any = true;
      if (c == '\n') return true;
      if (c == '\r') {
        // A LF right after this CR belongs to the same line end; look for it
        // only at the next read, so that a lone CR never waits for more input.
        skipLineFeed_ = true;
        return true;
      }
      if (text.size() < kMaxLine) text.push_back(static_cast<char>(c));
    }
  }

  Key pollKey() override { return Key::None; }

 private:
  int next() {
    if (pos_ == len_) {
      for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buf_, sizeof buf_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        len_ = static_cast<std::size_t>(n);
        pos_ = 0;
        break;
      }
    }
    return static_cast<unsigned char>(buf_[pos_++]);
  }

  char buf_[4096];
  std::size_t pos_ = 0, len_ = 0;
  bool skipLineFeed_ = false;
};

TerminalConsole gTerminal;
Console* gConsole = &gTerminal;

}  // namespace

Console& console() { return *gConsole; }

void setConsole(Console* replacement) { gConsole = replacement != nullptr ? replacement : &gTerminal; }

void restoreTerminal() {}

}  // namespace equ
