// fake-console.cpp - the scripted console and test scopes.
#include "support/fake-console.hpp"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "partcore/fatal.hpp"

namespace equ::test {

bool FakeConsole::readLine(std::string& text) {
  text.clear();
  if (lines.empty()) return false;
  text = lines.front().substr(0, kMaxLine);
  lines.pop_front();
  ++linesRead;
  return true;
}

Key FakeConsole::pollKey() {
  if (keys.empty()) return Key::None;
  const Key k = keys.front();
  keys.pop_front();
  return k;
}

namespace {
void throwFatal(std::string_view message) { throw FatalReport(std::string(message)); }
void throwStop(std::string_view message) { throw ErrorStop(std::string(message)); }
}  // namespace

ConsoleScope::ConsoleScope() {
  setConsole(&console_);
  setFatalHandler(throwFatal);
  setErrorStopHandler(throwStop);
}

ConsoleScope::~ConsoleScope() {
  RunFiles& files = runFiles();
  files.input.close();
  files.result.close();
  files.output.close();
  setConsole(nullptr);
  setFatalHandler(nullptr);
  setErrorStopHandler(nullptr);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "equspan-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(file(name), std::ios::binary);
  out << bytes;
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(file(name), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace equ::test
