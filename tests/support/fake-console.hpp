// fake-console.hpp - a scripted console for unit tests, and handlers that turn
// the fatal report and the error stop into exceptions the tests can catch.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/platform.hpp"

namespace equ::test {

class FakeConsole final : public Console {
 public:
  std::string output;              // everything written, CR LF included
  std::deque<std::string> lines;   // lines readLine hands out; empty: input ended
  std::deque<Key> keys;            // what successive polls find; empty: no key
  int linesRead = 0;
  int keyModeDepth = 0;

  void write(std::string_view text) override { output.append(text); }
  bool readLine(std::string& text) override;
  Key pollKey() override;
  void enterKeyMode() override { ++keyModeDepth; }
  void leaveKeyMode() override { keyModeDepth = 0; }
};

// Thrown by the test handlers in place of ending the process.
struct FatalReport : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct ErrorStop : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Installs a fake console and throwing handlers for its lifetime, and closes
// the run's files and restores everything at its end.
class ConsoleScope {
 public:
  ConsoleScope();
  ~ConsoleScope();
  FakeConsole& con() { return console_; }

 private:
  FakeConsole console_;
};

// A fresh, empty folder for the test's files, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace equ::test
