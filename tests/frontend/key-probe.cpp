// key-probe.cpp - a small program for the terminal tests: it polls keys in a
// run's key mode, says what it found, and ends by the path it is told to take.
//   key-probe keys <count> <end>   report <count> key presses, then end
//   key-probe stop <end>           poll the stop key until a stop is requested, then end
//   key-probe spin                 poll the stop key for ever (a second Ctrl+C ends it)
//   key-probe scan                 a scan without start index: poll the stop key for 300 ms, then read a line
//   key-probe quiet                poll for a while and count what was found, then read a line
//   key-probe lines                echo every console line as [text] until the input ends
//   key-probe speed                time polls that find nothing
// <end>: normal (leave the run, read a line), exit (std::exit without leaving),
//        fatal (the fatal report), errorstop (the platform's error stop)
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "frontend/params.hpp"
#include "frontend/platform.hpp"
#include "frontend/stop-key.hpp"
#include "partcore/fatal.hpp"

namespace {

using equ::console;
using Clock = std::chrono::steady_clock;

// Nothing here may loop for ever when a test goes wrong.
bool timeLeft(Clock::time_point start) { return Clock::now() - start < std::chrono::seconds(20); }

int end(const std::string& how) {
  if (how == "exit") std::exit(0);
  if (how == "fatal") equ::fatalError("probe stops");
  if (how == "errorstop") equ::errorStop("probe stops");
  equ::endRunKeys();
  console().line("line mode");
  std::string text;
  const bool got = console().readLine(text);
  console().line(got ? "line: " + text : "input ended");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  equ::params().program = equ::Program::Kspan;
  const auto start = Clock::now();
  if (mode == "lines") {
    std::string text;
    while (console().readLine(text)) console().line("[" + text + "]");
    console().line("end");
    return 0;
  }
  equ::beginRunKeys();
  if (mode == "keys" && argc > 3) {
    console().line("ready");
    for (int found = 0; found < std::atoi(argv[2]) && timeLeft(start);) {
      const equ::Key key = console().pollKey();
      if (key == equ::Key::None) continue;
      console().line(key == equ::Key::AltR ? "AltR" : "Other");
      ++found;
    }
    return end(argv[3]);
  }
  if (mode == "stop" && argc > 2) {
    console().line("ready");
    while (!equ::stopRequested && timeLeft(start)) equ::pollStopKey();
    console().line("stopped");
    return end(argv[2]);
  }
  if (mode == "spin") {
    console().line("ready");
    bool told = false;
    while (timeLeft(start)) {
      equ::pollStopKey();
      if (equ::stopRequested && !told) {
        console().line("stopped");
        told = true;
      }
    }
    return 3;
  }
  if (mode == "scan") {
    equ::params().program = equ::Program::QuadspanScan;
    equ::startIndexGiven = false;
    console().line("ready");
    while (Clock::now() - start < std::chrono::milliseconds(300)) equ::pollStopKey();
    return end("normal");
  }
  if (mode == "quiet") {
    int found = 0;
    while (Clock::now() - start < std::chrono::milliseconds(50)) found += console().pollKey() != equ::Key::None;
    console().line("keys found: " + std::to_string(found));
    return end("normal");
  }
  if (mode == "speed") {
    // The best of several rounds, so that a busy machine does not count.
    constexpr int kPolls = 2000000;
    int found = 0;
    std::int64_t best = -1;
    for (int round = 0; round < 5; ++round) {
      const auto t0 = Clock::now();
      for (int i = 0; i < kPolls; ++i) found += console().pollKey() != equ::Key::None;
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - t0).count();
      if (best < 0 || ns < best) best = ns;
    }
    console().line("ns per poll: " + std::to_string(best / kPolls) + ", keys: " + std::to_string(found));
    return end("normal");
  }
  return 2;
}
